#include "options/PresetListPage.h"

#include "options/TypingLimit.h"

#include "core/FilesHost.h"
#include "core/PathServices.h"
#include "platform/controls/ListView.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

PresetListPage::PresetListPage(const Setup &setup, QWidget *parent)
    : QWidget(parent)
    , m_setup(setup)
{
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 4, 0, 0);
    auto *group = new QGroupBox(setup.title, this);
    m_column = new QVBoxLayout(group);
    auto *hint = new QLabel(setup.hint, group);
    hint->setWordWrap(true);
    m_column->addWidget(hint);

    m_list = new ListView(group);
    m_list->setObjectName(setup.listName);
    m_list->addColumn(QStringLiteral("Název"), 120);
    m_list->addColumn(setup.valueColumn, 195);
    m_column->addWidget(m_list, 1);

    auto *boxes = new QGridLayout;
    boxes->setContentsMargins(0, 0, 0, 0);
    m_caption = new QLineEdit(group);
    m_caption->setObjectName(setup.captionBoxName);
    m_value = new QLineEdit(group);
    m_value->setObjectName(setup.valueBoxName);
    m_value->setToolTip(setup.valueTip);
    boxes->addWidget(new QLabel(QStringLiteral("Název:"), group), 0, 0);
    boxes->addWidget(m_caption, 0, 1, 1, 2);
    boxes->addWidget(new QLabel(setup.valueLabel, group), 1, 0);
    boxes->addWidget(m_value, 1, 1);
    if (!setup.pickerName.isEmpty()) {
        m_value->setEnabled(false);
        m_picker = new QPushButton(QStringLiteral("..."), group);
        m_picker->setObjectName(setup.pickerName);
        m_picker->setToolTip(QStringLiteral("Vybrat cestu…"));
        m_picker->setAutoDefault(false);
        m_picker->setFixedWidth(m_picker->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
        boxes->addWidget(m_picker, 1, 2);
        connect(m_picker, &QPushButton::clicked, this, &PresetListPage::cmdSet_Click);
    } else {
        connect(m_value, &QLineEdit::textChanged, this, &PresetListPage::txtValue_Change);
    }
    m_column->addLayout(boxes);
    page->addWidget(group, 1);

    // Only typing is limited: a longer caption stored before must load and be stored whole.
    if (setup.captionLimit > 0)
        new TypingLimit(m_caption, setup.captionLimit);
    connect(m_caption, &QLineEdit::textChanged, this, &PresetListPage::txtCaption_Change);
    connect(m_list, &ListView::itemClicked, this, &PresetListPage::lst_ItemClick);
}

void PresetListPage::addBelow(QWidget *widget)
{
    widget->setParent(m_list->parentWidget());
    m_column->addWidget(widget);
}

void PresetListPage::load()
{
    int selected = 0;
    runIgnoringErrors([&] {
        const ListItem row = m_list->selectedItem();
        if (!row.isNull())
            selected = row.index();
    });
    m_list->clear();
    const int rows = PresetList::sizeOf(m_setup.section);
    for (int i = 1; i <= rows; ++i) {
        const QString number = QString::number(i);
        const QString value = GetSetting(m_setup.section, number, QString());
        QString path = value;
        const QString captionDefault = m_setup.captionFromValue ? GetFileName(path) : QString();
        const QString caption = GetSetting(m_setup.section, QStringLiteral("Caption") + number, captionDefault);
        m_list->add(QString(), caption).setSubItem(1, value);
    }
    // A list shown for the first time selects its first row, so that the boxes edit
    // a row from the start.
    if (selected < 1)
        selected = 1;
    ListItem row;
    if (selected <= m_list->count()) {
        row = m_list->item(selected);
        row.setSelected(true);
    }
    showRow(row);
}

void PresetListPage::store() const
{
    IgnoreErrors ignore;
    for (int i = 1; i <= m_list->count(); ++i) {
        ignore([&] {
            const ListItem row = m_list->item(i);
            SaveSetting(m_setup.section, QStringLiteral("Caption%1").arg(i), row.text());
            SaveSetting(m_setup.section, QString::number(i), row.subItem(1));
        });
    }
}

// Filling the boxes runs their change handlers, which write the same texts back.
void PresetListPage::showRow(const ListItem &row)
{
    IgnoreErrors ignore;
    ignore([&] { m_caption->setText(row.isNull() ? QString() : row.text()); });
    ignore([&] { m_value->setText(row.isNull() ? QString() : row.subItem(1)); });
}

void PresetListPage::lst_ItemClick(const ListItem &item)
{
    showRow(item);
}

void PresetListPage::txtCaption_Change()
{
    runIgnoringErrors([this] { m_list->selectedItem().setText(m_caption->text()); });
}

void PresetListPage::txtValue_Change()
{
    runIgnoringErrors([this] { m_list->selectedItem().setSubItem(1, m_value->text()); });
}

void PresetListPage::cmdSet_Click()
{
    int row = 0;
    runIgnoringErrors([&] { row = m_list->selectedItem().index(); });
    FilesHost *host = FilesHost::current();
    // Without a selected row there is no entry to store the folder in.
    if (row < 1 || !host)
        return;
    QPointer<PresetListPage> alive(this);
    runIgnoringErrors([&] {
        host->chooseFolder(m_setup.section + QLatin1Char('\\') + QString::number(row), window());
    });
    if (alive)
        emit folderPickerClosed();
}
