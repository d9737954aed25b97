#include "options/PresetListPage.h"
#include "options/TypingLimit.h"
#include "options/frmOptions.h"

#include "platform/controls/ListView.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QLineEdit *lineEdit(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QCheckBox *inertBox(QWidget *parent, const char *caption, bool ticked)
{
    auto *box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setChecked(ticked);
    box->setEnabled(false);
    return box;
}

struct FileTypePlace
{
    int index;
    int group; // 0 "Dokumenty a skripty", 1 "Obrázky a multimédia"
    int column;
    int row;
    const char *caption;
};

const FileTypePlace kFileTypePlaces[] = {
    {1, 0, 0, 0, "HTML (*.htm*; *.shtml; *.sgm*)"},
    {22, 0, 0, 1, "MHTML (*.mht; *.mhtml)"},
    {3, 0, 0, 2, "Textové soubory (*.txt; *.inc)"},
    {8, 0, 0, 3, "Dokumenty Word (*.doc)"},
    {9, 0, 0, 4, "Sešity Excel (*.xls; *.xlw)"},
    {10, 0, 0, 5, "PowerPoint (*.ppt; *.pps)"},
    {11, 0, 0, 6, "Adobe Acrobat (*.pdf)"},
    {2, 0, 1, 0, "Active Server Pages (*.asp)"},
    {4, 0, 1, 1, "PHP (*.php; *.php3; *.phtml)"},
    {7, 0, 1, 2, "Cascaded Style Sheets (*.css)"},
    {12, 0, 1, 3, "VB a Java Scripts (*.vbs; *.js)"},
    {13, 0, 1, 4, "Java Classes (*.class)"},
    {14, 0, 1, 5, "Visual Basic Documents (*.vbd)"},
    {6, 0, 1, 6, "Packages (*.zip; *.cab)"},
    {16, 1, 0, 0, "JPEG (*.jpg; *.jpe; *.jpeg)"},
    {17, 1, 0, 1, "GIF (*.gif)"},
    {18, 1, 0, 2, "BMP (*.bmp)"},
    {5, 1, 0, 3, "PNG (*.png)"},
    {19, 1, 1, 0, "Wave, MPEG-3 (*.wav; *.mp3)"},
    {20, 1, 1, 1, "MIDI (*.mid; *.rmi)"},
    {21, 1, 1, 2, "MPEG Video klip (*.mpe*)"},
    {15, 1, 1, 3, "Microsoft Video klip (*.avi)"},
};

// The pages are narrow: their boxes sit close together.
QGridLayout *tightGrid(QWidget *owner)
{
    auto *grid = new QGridLayout(owner);
    grid->setContentsMargins(6, 4, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);
    return grid;
}

// The caption broken onto two lines of at most room pixels each, at " (" when that
// serves, else at the last blank that does; as it is when nothing serves.
QString brokenToFit(const QString &caption, const QFontMetrics &metrics, int room)
{
    const auto fits = [&](qsizetype blank) {
        return metrics.horizontalAdvance(caption.left(blank)) <= room
            && metrics.horizontalAdvance(caption.mid(blank + 1)) <= room;
    };
    const qsizetype bracket = caption.lastIndexOf(QLatin1String(" ("));
    if (bracket > 0 && fits(bracket))
        return caption.left(bracket) + QLatin1Char('\n') + caption.mid(bracket + 1);
    for (qsizetype blank = caption.lastIndexOf(QLatin1Char(' ')); blank > 0;
         blank = caption.lastIndexOf(QLatin1Char(' '), blank - 1)) {
        if (fits(blank))
            return caption.left(blank) + QLatin1Char('\n') + caption.mid(blank + 1);
    }
    return caption;
}

} // namespace

void frmOptions::wrapCutCaptions(QWidget *page, const QSize &size)
{
    if (!page->layout())
        return;
    // The page is not shown yet: its layouts are run by hand, outer ones first.
    const auto layOut = [page, size] {
        page->resize(size);
        page->layout()->invalidate();
        page->layout()->activate();
        for (QWidget *child : page->findChildren<QWidget *>()) {
            if (child->layout())
                child->layout()->activate();
        }
    };
    layOut();
    bool broken = false;
    for (QCheckBox *box : page->findChildren<QCheckBox *>()) {
        const QFontMetrics metrics = box->fontMetrics();
        const int textWidth = metrics.horizontalAdvance(box->text());
        if (box->text().isEmpty() || box->width() >= box->sizeHint().width())
            continue;
        // What the box needs beside its text: the tick square and the spacing.
        const int room = box->width() - (box->sizeHint().width() - textWidth);
        const QString caption = brokenToFit(box->text(), metrics, room);
        broken = broken || caption != box->text();
        box->setText(caption);
    }
    if (broken)
        layOut();
}

QWidget *frmOptions::createFileTypesPage()
{
    auto *page = new QWidget;
    // Twenty-two captions in two columns of a narrow page: a point smaller, so that
    // they are read whole.
    QFont smaller = page->font();
    smaller.setPointSizeF(smaller.pointSizeF() - 1);
    page->setFont(smaller);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 4, 0, 0);
    QGroupBox *groups[2] = {new QGroupBox(QStringLiteral("Dokumenty a skripty"), page),
                            new QGroupBox(QStringLiteral("Obrázky a multimédia"), page)};
    QGridLayout *grids[2] = {tightGrid(groups[0]), tightGrid(groups[1])};
    for (const FileTypePlace &place : kFileTypePlaces) {
        QCheckBox *box = checkBox(groups[place.group], QStringLiteral("chkFiletypes%1").arg(place.index),
                                  QString::fromUtf8(place.caption));
        grids[place.group]->addWidget(box, place.row, place.column);
        chkFiletypes[size_t(place.index)] = box;
    }
    column->addWidget(groups[0]);
    column->addWidget(groups[1]);

    auto *own = new QGroupBox(QStringLiteral("Vlastní, všechny, podrobnosti"), page);
    QGridLayout *grid = tightGrid(own);
    auto *custom = new QHBoxLayout;
    chkFiletypesCust = checkBox(own, QStringLiteral("chkFiletypesCust"), QString());
    txtUserFiletype = lineEdit(own, QStringLiteral("txtUserFiletype"));
    txtUserFiletype->setToolTip(QStringLiteral("Příklad: *.abc;*.cdf"));
    custom->addWidget(chkFiletypesCust);
    custom->addWidget(txtUserFiletype, 1);
    grid->addLayout(custom, 0, 0);
    chkFiletypesAll = checkBox(own, QStringLiteral("chkFiletypesAll"), QStringLiteral("Všechny soubory (*.*)"));
    chkFiletypesNo = checkBox(own, QStringLiteral("chkFiletypesNo"), QStringLiteral("Žádné soubory"));
    grid->addWidget(chkFiletypesAll, 1, 0);
    grid->addWidget(chkFiletypesNo, 2, 0);
    grid->addWidget(inertBox(own, "Zobrazovat archívní soubory", false), 0, 1);
    grid->addWidget(inertBox(own, "Zobrazovat systémové soubory", false), 1, 1);
    grid->addWidget(inertBox(own, "Zobrazovat skryté soubory", false), 2, 1);
    column->addWidget(own);
    column->addStretch(1);

    connect(chkFiletypesAll, &QCheckBox::toggled, this, &frmOptions::chkFiletypesAll_Click);
    connect(chkFiletypesNo, &QCheckBox::toggled, this, &frmOptions::chkFiletypesNo_Click);
    return page;
}

QWidget *frmOptions::createFilePage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 4, 0, 0);
    auto *file = new QGroupBox(QStringLiteral("Soubor"), page);
    auto *fileRow = new QHBoxLayout(file);
    cmdRestore = new QPushButton(QStringLiteral("Obnovit všechna původní nastavení"), file);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdRestore->setAutoDefault(false);
    connect(cmdRestore, &QPushButton::clicked, this, &frmOptions::cmdRestore_Click);
    fileRow->addWidget(cmdRestore);
    fileRow->addStretch(1);
    column->addWidget(file);

    auto *open = new QGroupBox(QStringLiteral("Automaticky otevírat v okně"), page);
    auto *boxes = new QVBoxLayout(open);
    chkFiles = checkBox(open, QStringLiteral("chkFiles"), QStringLiteral("Soubory"));
    chkDirs = checkBox(open, QStringLiteral("chkDirs"), QStringLiteral("Složky"));
    chkDrives = checkBox(open, QStringLiteral("chkDrives"), QStringLiteral("Jednotky"));
    for (QCheckBox *box : {chkFiles, chkDirs, chkDrives})
        boxes->addWidget(box);
    column->addWidget(open);
    column->addStretch(1);
    return page;
}

QWidget *frmOptions::createPagePage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 4, 0, 0);
    auto *group = new QGroupBox(QStringLiteral("Stránka"), page);
    auto *form = new QFormLayout(group);
    txtHomePage = lineEdit(group, QStringLiteral("txtHomePage"));
    txtSearchPage = lineEdit(group, QStringLiteral("txtSearchPage"));
    txtBlankPage = lineEdit(group, QStringLiteral("txtBlankPage"));
    // Only typing is limited: a longer address stored elsewhere must survive an apply.
    new TypingLimit(txtHomePage, 100);
    new TypingLimit(txtSearchPage, 100);
    form->addRow(QStringLiteral("Domů:"), txtHomePage);
    form->addRow(QStringLiteral("Hledat:"), txtSearchPage);
    form->addRow(QStringLiteral("Prázdná:"), txtBlankPage);
    chkDisplayImages = checkBox(group, QStringLiteral("chkDisplayImages"), QStringLiteral("Zobrazovat obrázky"));
    chkDisplayVideos = checkBox(group, QStringLiteral("chkDisplayVideos"), QStringLiteral("Zobrazovat video"));
    chkPlayAnimations = checkBox(group, QStringLiteral("chkPlayAnimations"), QStringLiteral("Přehrávat animace"));
    chkPlaySounds = checkBox(group, QStringLiteral("chkPlaySounds"), QStringLiteral("Přehrávat zvuky"));
    chkDisableScriptDebugger =
        checkBox(group, QStringLiteral("chkDisableScriptDebugger"), QStringLiteral("Vypnout ladění skriptů"));
    for (QCheckBox *box : {chkDisplayImages, chkDisplayVideos, chkPlayAnimations, chkPlaySounds, chkDisableScriptDebugger})
        form->addRow(box);
    column->addWidget(group);
    column->addStretch(1);
    return page;
}

QWidget *frmOptions::createListPage(int page)
{
    enum Kind { Folders, Addresses, Programs };
    const struct
    {
        int page;
        const QString &section;
        Kind kind;
        const char *title;
        const char *hint;
        const char *names[4]; // list, caption box, value box, picker
        int captionLimit;
        PresetListPage *frmOptions::*member;
        ListView *frmOptions::*list;
    } pages[] = {
        {3, PresetSections::QCopy, Folders, "Rychlé zkopírování", "Vyberte cesty kam budou kopírovány soubory.",
         {"lstQCopyPaths", "txtQCopyCaption", "txtQCopyPath", "cmdQCopySet"}, 0, &frmOptions::QCopyPage,
         &frmOptions::lstQCopyPaths},
        {4, PresetSections::QMove, Folders, "Rychlý přesun", "Vyberte cesty kam budou přesouvány soubory.",
         {"lstQMove", "txtQMCaption", "txtQMPath", "cmdQCSet"}, 100, &frmOptions::QMovePage, &frmOptions::lstQMove},
        {6, PresetSections::Save, Folders, "Uložit do", "Vyberte cesty do kterých budou ukládány stránky.",
         {"lstSaveto", "txtSavetoCaption", "txtSavetoPath", "cmdSaveSet"}, 0, &frmOptions::SavetoPage,
         &frmOptions::lstSaveto},
        {8, PresetSections::Home, Addresses, "Domovské stránky",
         "Do tohoto seznamu můžete napsat až 30 stránek, které budou zobrazeny v menu u tlačítka Domů na základní "
         "nástrojové liště.",
         {"lstHome", "txtHomeCaption", "txtHomeURI", ""}, 0, &frmOptions::HomePage, &frmOptions::lstHome},
        {9, PresetSections::Search, Addresses, "Vyhledávací portály",
         "Do tohoto seznamu můžete napsat až 30 portálů, které budou zobrazeny v menu u tlačítka Hledat na základní "
         "nástrojové liště.",
         {"lstSearch", "txtSearchCaption", "txtSearchURI", ""}, 0, &frmOptions::SearchPage, &frmOptions::lstSearch},
        {11, PresetSections::OpenWith, Programs, "Otevřít v",
         "Vyplňte programy ve kterých bude možno otevírat soubory a složky.",
         {"lstOpenWith", "txtProgCaption", "txtProgPath", ""}, 0, &frmOptions::OpenWithPage,
         &frmOptions::lstOpenWith},
    };
    for (const auto &line : pages) {
        if (line.page != page)
            continue;
        PresetListPage::Setup setup;
        setup.section = line.section;
        setup.title = QString::fromUtf8(line.title);
        setup.hint = QString::fromUtf8(line.hint);
        setup.listName = QString::fromLatin1(line.names[0]);
        setup.captionBoxName = QString::fromLatin1(line.names[1]);
        setup.valueBoxName = QString::fromLatin1(line.names[2]);
        setup.pickerName = QString::fromLatin1(line.names[3]);
        setup.valueColumn = line.kind == Folders ? QStringLiteral("Cesta")
                            : line.kind == Addresses ? QStringLiteral("URL adresa")
                                                     : QStringLiteral("Program");
        setup.valueLabel = line.kind == Folders ? QStringLiteral("Cesta:")
                           : line.kind == Addresses ? QStringLiteral("URL:")
                                                    : QStringLiteral("Program:");
        if (line.kind == Programs)
            setup.valueTip = QStringLiteral("Příklad: /usr/bin/gedit \"%1\" nebo gedit %1");
        setup.captionFromValue = line.kind != Addresses;
        setup.captionLimit = line.captionLimit;
        auto *content = new PresetListPage(setup);
        if (page == 6) {
            content->addBelow(inertBox(content, "Používat název stránky jako název souboru", true));
            content->addBelow(inertBox(content, "Automaticky nahrazovat zakázané znaky v názvu souboru", true));
        }
        // Back from the choose-folder dialog the dialog shows what is stored now.
        connect(content, &PresetListPage::folderPickerClosed, this,
                [this] { runIgnoringErrors([this] { LoadValues(); }); });
        this->*line.member = content;
        this->*line.list = content->list();
        return content;
    }
    return new QWidget;
}

void frmOptions::setFileTypesEnabled(bool enabled)
{
    for (int i = 1; i < int(chkFiletypes.size()); ++i)
        chkFiletypes[size_t(i)]->setEnabled(enabled);
}

// Ticking one of the two exclusive boxes unticks the other, whose handler then runs
// its unticked branch; the box just ticked is ticked again at the end.
void frmOptions::chkFiletypesAll_Click()
{
    if (chkFiletypesAll->isChecked()) {
        chkFiletypesNo->setChecked(false);
        chkFiletypesAll->setChecked(true);
        setFileTypesEnabled(false);
    } else {
        chkFiletypesNo->setChecked(false);
        setFileTypesEnabled(true);
    }
}

void frmOptions::chkFiletypesNo_Click()
{
    if (chkFiletypesNo->isChecked()) {
        chkFiletypesAll->setChecked(false);
        chkFiletypesNo->setChecked(true);
        setFileTypesEnabled(false);
    } else {
        chkFiletypesAll->setChecked(false);
        setFileTypesEnabled(true);
    }
}
