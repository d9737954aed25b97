#include "options/frmOptions.h"

#include "platform/controls/DialogButtons.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"
#include "platform/system/Units.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

// Twips of the window's layout.
constexpr int kClientWidth = 8370;
constexpr int kClientHeight = 7125;
constexpr int kButtonTop = 6720;
constexpr int kButtonWidth = 1092;
constexpr int kButtonHeight = 312;

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(Units::twipsToPixels(left), Units::twipsToPixels(top), Units::twipsToPixels(width), Units::twipsToPixels(height));
}

const QString kRestoreQuestion =
    QStringLiteral("Tato funkce obnoví všechna původní nastavení programu. Chcete pokračovat?");

} // namespace

QString frmOptions::pageKey(int page)
{
    return QStringLiteral("k%1").arg(page);
}

frmOptions::frmOptions()
{
    setObjectName(QStringLiteral("frmOptions"));
    createWindow();
    Form_Load();
}

frmOptions::~frmOptions() = default;

void frmOptions::createWindow()
{
    setWindowTitle(QStringLiteral("Možnosti"));
    setFixedSize(Units::twipsToPixels(kClientWidth), Units::twipsToPixels(kClientHeight));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);

    trwOptions = new TreeView(this);
    trwOptions->setObjectName(QStringLiteral("trwOptions"));
    trwOptions->setGeometry(twipsRect(105, 90, 2550, 6405));
    connect(trwOptions, &TreeView::nodeClicked, this, &frmOptions::trwOptions_NodeClick);

    Frame = new QStackedWidget(this);
    Frame->setObjectName(QStringLiteral("Frame"));
    Frame->setGeometry(twipsRect(2760, 0, 5535, 6600));
    for (int page = 0; page < PageCount; ++page) {
        QWidget *content = nullptr;
        switch (page) {
        case 1: content = createFileTypesPage(); break;
        case 2: content = createFilePage(); break;
        case 5: content = createPagePage(); break;
        case 3:
        case 4:
        case 6:
        case 8:
        case 9:
        case 11: content = createListPage(page); break;
        default: content = new QWidget; break;
        }
        content->setObjectName(QStringLiteral("Frame%1").arg(page));
        Frame->addWidget(content);
        wrapCutCaptions(content, Frame->size());
    }

    auto *separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(twipsRect(105, kButtonTop - 120, kClientWidth - 210, 30));

    const struct
    {
        int index;
        const char *caption;
        int left;
    } buttons[] = {{5, "&Nápověda", 108}, {6, "&Storno", 4890}, {7, "&Použít", 6075}, {8, "&OK", 7185}};
    for (const auto &line : buttons) {
        auto *button = new QPushButton(QString::fromUtf8(line.caption), this);
        button->setObjectName(QStringLiteral("cmdNav%1").arg(line.index));
        button->setGeometry(twipsRect(line.left, kButtonTop, kButtonWidth, kButtonHeight));
        button->setAutoDefault(false);
        const int index = line.index;
        connect(button, &QPushButton::clicked, this, [this, index] { cmdNav_Click(index); });
        cmdNav[size_t(index)] = button;
    }
    cmdNav[5]->setEnabled(false);
    cmdNav[8]->setDefault(true);
    enterPressesFocusedButton(this);
}

void frmOptions::Form_Load()
{
    IgnoreErrors ignore;
    ignore([this] { TreeSet(); });
    ignore([this] { showPage(1); });
    ignore([this] { LoadValues(); });
}

void frmOptions::TreeSet()
{
    IgnoreErrors ignore;
    const auto child = [this](int parent, int page, const char *text) {
        trwOptions->add(pageKey(parent), TreeRelation::LastChild, pageKey(page), QString::fromUtf8(text));
    };
    ignore([this] { trwOptions->addRoot(pageKey(1), QStringLiteral("Typy souborů")); });
    ignore([this] { trwOptions->addRoot(pageKey(2), QStringLiteral("Soubor")); });
    ignore([&] { child(2, 3, "Rychlé zkopírování"); });
    ignore([&] { child(2, 4, "Rychlý přesun"); });
    ignore([&] { child(2, 11, "Otevřít v"); });
    ignore([this] { trwOptions->node(pageKey(3)).ensureVisible(); });
    ignore([this] { trwOptions->addRoot(pageKey(5), QStringLiteral("Stránka")); });
    ignore([&] { child(5, 6, "Uložit do"); });
    ignore([&] { child(5, 8, "Domovské stránky"); });
    ignore([&] { child(5, 9, "Vyhledávací portály"); });
    ignore([this] { trwOptions->node(pageKey(6)).ensureVisible(); });
}

void frmOptions::showPage(int page)
{
    // A stacked widget shows exactly one slot; a number without one shows none.
    if (page >= 0 && page < PageCount) {
        Frame->setCurrentIndex(page);
        Frame->show();
    } else {
        Frame->hide();
    }
}

int frmOptions::shownPage() const
{
    return Frame->isHidden() ? -1 : Frame->currentIndex();
}

void frmOptions::openOnPage(int page)
{
    IgnoreErrors ignore;
    ignore([&] { trwOptions->node(pageKey(page)).select(); });
    ignore([&] { showPage(page); });
}

void frmOptions::showModal(QWidget *owner)
{
    if (DialogLoops::ending())
        return;
    if (owner && parentWidget() != owner)
        setParent(owner, windowFlags());
    setModal(true);
    exec();
}

void frmOptions::trwOptions_NodeClick(const TreeNode &Node)
{
    runIgnoringErrors([&] { showPage(Node.key().mid(1).toInt()); });
}

void frmOptions::cmdNav_Click(int Index)
{
    IgnoreErrors ignore;
    switch (Index) {
    case 8:
        ignore([this] { ApplyChanges(); });
        hide();
        break;
    case 7: ignore([this] { ApplyChanges(); }); break;
    case 6: hide(); break;
    default: break;
    }
}

void frmOptions::cmdRestore_Click()
{
    IgnoreErrors ignore;
    const int answer = MsgBox(kRestoreQuestion,
                              MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation | MsgBoxStyle::DefaultButton2
                                  | MsgBoxStyle::SystemModal,
                              QString(), this);
    if (answer != MsgBoxResult::Yes)
        return;
    for (const QString &section : {QStringLiteral("Main"), QStringLiteral("Options"), PresetSections::Home,
                                   PresetSections::Search, PresetSections::QCopy, PresetSections::QMove,
                                   PresetSections::Save, PresetSections::OpenWith})
        ignore([&] { DeleteSetting(section); });
    // Everything else too, the window layout ("Settings") and sections of any other name.
    ignore([] { DeleteSetting(); });
    Forms::unload<frmOptions>();
}

void frmOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runIgnoringErrors([this] { LoadValues(); });
}

void frmOptions::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // Some window managers offer to minimise any window, this fixed dialog too; hidden,
    // it would leave the main window it blocks looking frozen. It comes back at once.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                setWindowState(windowState() & ~Qt::WindowMinimized);
        });
}

void frmOptions::closeEvent(QCloseEvent *event)
{
    // The close box unloads the dialog; a close from Forms::unload finds it unloaded already.
    if (Forms::isLoaded<frmOptions>() && Forms::get<frmOptions>() == this)
        Forms::unload<frmOptions>();
    QDialog::closeEvent(event);
}
