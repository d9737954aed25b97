// This room holds the links pane: its handlers here, its icons and its pop-up menu.
// The links pane: capturing the links of the active page into lstLinks, the pane's
// toolbars and list events, and saving the list as a page.
#include "app/frmMain.h"

#include "app/links/LinksPaneIcons.h"
#include "app/MainSettings.h"
#include "app/OpenSave.h"
#include "app/panel/frmPM.h"
#include "browser/BrowserEventRules.h"
#include "browser/CapturedLinksPage.h"
#include "browser/LinkCaptureScript.h"
#include "browser/LinkSnapshot.h"
#include "browser/LinksPaneRules.h"
#include "browser/PaneKeys.h"
#include "browser/frmWeb.h"
#include "core/DateTimeText.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/ButtonMenu.h"
#include "platform/controls/Forms.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/KeyClaim.h"
#include "platform/controls/ListView.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/Toolbar.h"
#include "platform/system/Units.h"

#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace {

struct PaneButton
{
    const char *key;
    const char *caption;
    const char *toolTip;
    const char *image;
    QList<std::pair<const char *, const char *>> items; // key, caption; "-" is a separator
};

const PaneButton kPaneButtons[3] = {
    {"add", "Přidat", "Přidat odkazy z aktuálního okna", "addlinks",
     {{"addall", "Všechny"}, {"addlocal", "Lokální"}, {"addout", "Odchozí"}, {"", "-"},
      {"addalltext", "Všechny textové"}, {"addlocaltext", "Lokální textové"}, {"addouttext", "Odchozí textové"}}},
    {"save", "Uložit", "Uložit sejmuté odkazy do HTML souboru", "savelinks",
     {{"saveall", "Všechny"}, {"saveemail", "Pouze e-maily"}, {"savenonemail", "Bez e-mailů"}}},
    {"remove", "", "Odstranit odkaz ze seznamu", "delete",
     {{"remove", "Odstranit vybraný odkaz"}, {"removeall", "Odstranit všechny odkazy"},
      {"removeemail", "Odstranit e-mailové odkazy"}}},
};

// The toolbars' image lists may be built without the pane's images; they are added once.
void ensureToolbarImages(ImageList *images, bool gray)
{
    if (!images)
        return;
    for (const char *key : {"addlinks", "savelinks", "delete"}) {
        if (!images->contains(QLatin1String(key)))
            images->add(QLatin1String(key), LinksPaneIcons::toolbarIcon(QLatin1String(key), gray, images->imageSize().width()));
    }
}

void removeSelectedLink(ListView *list)
{
    if (list->count() < 1)
        return;
    const ListItem selected = list->selectedItem();
    if (!selected.isNull())
        list->remove(selected.index());
}

QList<CapturedLink> capturedLinks(const ListView *list)
{
    QList<CapturedLink> links;
    links.reserve(list->count());
    for (int i = 1; i <= list->count(); ++i) {
        const ListItem item = list->item(i);
        links.append({item.text(), item.subItem(1), item.subItem(2), item.smallIcon()});
    }
    return links;
}

// Asks for the target until the user settles on one; "" when the save is abandoned.
QString askCapturedLinksTarget()
{
    OpenSave dialog;
    for (;;) {
        dialog.setDefaultExt(QStringLiteral("*.htm"));
        dialog.setDialogTitle(QStringLiteral("Save Captured Links"));
        QString stamp = dateTimeText(QDateTime::currentDateTime());
        dialog.setFileName(QStringLiteral("links ") + SanitizeFileName(stamp));
        dialog.setFilter(QStringLiteral("HTML Page (*.htm)|*.htm|All Files (*.*)|*.*"));
        dialog.setInitDir(MainSettings::SaveLinksInitDir().text());
        dialog.ShowSave();
        // A cancelled dialog has no folder to remember: the last one is kept.
        if (shared().SaveDialogCancelled)
            return {};
        const QString target = dialog.FileName();
        runIgnoringErrors([&] { MainSettings::SaveLinksInitDir().save(GetParentPath(target)); });
        if (!FileExists(target))
            return target;
        const int answer = MsgBox(QStringLiteral("Soubor již existuje. Chcete jej nahradit?"),
                                  MsgBoxStyle::YesNoCancel | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2);
        if (answer == MsgBoxResult::Yes)
            return target;
        if (answer != MsgBoxResult::No)
            return {};
    }
}

// An existing read-only target is replaced only when the user agrees; a replaced file
// loses its special permissions and is written as a plain file.
bool mayReplace(const QString &target)
{
    if (!FileExists(target))
        return true;
    if (!(QFile::permissions(target) & QFileDevice::WriteOwner)
        && MsgBox(QStringLiteral("Soubor je pouze ke čtení. Chcete jej přesto nahradit?"),
                  MsgBoxStyle::YesNo | MsgBoxStyle::Question) != MsgBoxResult::Yes)
        return false;
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                      | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return true;
}

} // namespace

void frmMain::createLinksPane()
{
    imlProtocols = new ImageList(this);
    imlProtocols->setObjectName(QStringLiteral("imlProtocols"));
    for (const QString &key : linkProtocolKeys())
        imlProtocols->add(key, LinksPaneIcons::protocolIcon(key));

    lstLinks->setSmallImageList(imlProtocols);
    lstLinks->addColumn(QStringLiteral("Nápis"), Units::twipsToPixels(1440));
    lstLinks->addColumn(QStringLiteral("URL"), Units::twipsToPixels(2000));
    lstLinks->addColumn(QStringLiteral("Zdroj"), Units::twipsToPixels(500));

    ensureToolbarImages(imlToolbarGray, true);
    ensureToolbarImages(imlToolbar, false);
    QRect row;
    for (int index = 0; index < 3; ++index) {
        const PaneButton &line = kPaneButtons[index];
        Toolbar *bar = addPaneToolbar(picUn[4], QStringLiteral("tbLinks%1").arg(index),
                                      {line.key, line.caption, line.toolTip, line.image}, ButtonStyle::DropDown, row);
        ToolbarButton &button = bar->button(QString::fromLatin1(line.key));
        for (const auto &[key, caption] : line.items)
            button.menu().addItem(QLatin1String(key), QString::fromUtf8(caption));
        connect(bar, &Toolbar::buttonClicked, this, [this, index](const QString &key) { tbLinks_ButtonClick(index, key); });
        connect(bar, &Toolbar::buttonMenuClicked, this,
                [this, index](const QString &, const QString &item, int) { tbLinks_ButtonMenuClick(index, item); });
        tbLinks[index] = bar;
    }
    lstLinks->move(0, row.height());

    connect(lstLinks, &ListView::itemClicked, this, &frmMain::lstLinks_ItemClick);
    connect(lstLinks, &ListView::doubleClicked, this, &frmMain::lstLinks_DblClick);
    connect(lstLinks, &ListView::columnClicked, this, &frmMain::lstLinks_ColumnClick);
    connect(lstLinks, &ListView::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &) { lstLinks_MouseDown(button); });
    connect(lstLinks, &ListView::mouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &) { lstLinks_MouseUp(button); });
    connect(lstLinks, &ListView::keyDown, this, &frmMain::lstLinks_KeyDown);
    claimKeys(lstLinks,
              [](int key, Qt::KeyboardModifiers modifiers) { return paneKeyClaimed(PaneKind::Links, key, shiftMask(modifiers)); });
}

namespace {

// Links asked of the page at a time: the list takes one part while the page reads the
// next, so the program's share of a big capture hides behind the page's.
constexpr int kLinksPerPart = 20000;
// Requests kept ahead of the answers, so that the page never waits for the program.
constexpr int kPartsAhead = 2;

// Appends the rows of links read from one document (all or part of them).
void appendDocumentRows(ListView *list, int mode, const DocumentSnapshot &doc, const QString &source)
{
    QList<LinkRow> rows = capturedDocumentRows(doc, source, mode, list->count(),
                                               [list](const QString &key) { return list->contains(key); });
    QList<ListRowData> listRows;
    listRows.reserve(rows.size());
    for (LinkRow &row : rows)
        listRows.append({std::move(row.key), std::move(row.caption), std::move(row.iconKey), {std::move(row.url), std::move(row.source)}});
    // A row the list refuses (an unknown icon, a taken key) is skipped.
    list->append(listRows);
}

// One capture under way. The page answers in parts; each is listed as it comes. A
// capture asked for while another runs starts when that one has finished, so two
// captures never mix their rows. Whatever happens to the page or its window, the run
// ends and says so once.
class LinkCaptureRun : public QObject
{
public:
    LinkCaptureRun(frmMain *main, BrowserControl *web, int mode)
        : QObject(main)
        , m_main(main)
        , m_web(web)
        , m_mode(mode)
    {
        setObjectName(runName());
        connect(web, &QObject::destroyed, this, &LinkCaptureRun::finish);
    }

    static QString runName() { return QStringLiteral("linkCaptureRun"); }

    void start()
    {
        if (!m_web)
            return finish();
        m_navigation = m_web->navigationNumber();
        // The list shows its rows once they are all in; painting it after every part
        // would hold up the parts still to come.
        m_main->lstLinks->setUpdatesEnabled(false);
        request(linkCaptureScript(kLinksPerPart));
    }

private:
    void request(const QString &script)
    {
        ++m_inFlight;
        const QPointer<LinkCaptureRun> self(this);
        m_web->runScript(script, [self](const QVariant &result) {
            if (self)
                self->answered(result);
        }, ScriptWorld::Application);
    }

    void answered(const QVariant &result)
    {
        --m_inFlight;
        if (m_finished)
            return;
        // The window moved on meanwhile: what the page was read from is gone.
        if (!m_web || m_web->navigationNumber() != m_navigation || result.typeId() != QMetaType::QString)
            return finish();
        const QList<DocumentPart> parts = m_reader.read(result.toString());
        if (m_reader.failed())
            return finish();
        while (!m_reader.complete() && m_inFlight < kPartsAhead)
            request(linkCaptureNextScript());
        ListView *list = m_main->lstLinks;
        for (const DocumentPart &part : parts) {
            IgnoreErrors ignore;
            // Unsorted while a document's rows are added, so a sorted list sorts once
            // per document.
            if (part.begins) {
                m_wasSorted = list->sorted();
                m_documentOpen = true;
                list->setSorted(false);
            }
            ignore([&] { appendDocumentRows(list, m_mode, part.links, m_reader.title()); });
            if (part.ends)
                closeDocument();
        }
        if (m_reader.complete())
            finish();
    }

    void closeDocument()
    {
        if (m_documentOpen && m_main)
            m_main->lstLinks->setSorted(m_wasSorted);
        m_documentOpen = false;
    }

    void finish()
    {
        if (m_finished)
            return;
        m_finished = true;
        closeDocument();
        if (m_main)
            m_main->lstLinks->setUpdatesEnabled(true);
        if (m_main)
            emit m_main->linksCaptureFinished();
        deleteLater();
    }

    QPointer<frmMain> m_main;
    QPointer<BrowserControl> m_web;
    int m_mode;
    quint64 m_navigation = 0;
    LinkAnswerReader m_reader;
    int m_inFlight = 0;
    bool m_finished = false;
    bool m_documentOpen = false;
    bool m_wasSorted = false;
};

} // namespace

void frmMain::CaptureLinks(int mode)
{
    IgnoreErrors ignore;
    if (shared().WindowCount <= 0)
        return;
    ignore([&] {
        BrowserControl *web = requireActiveForm()->Web;
        if (!web)
            raiseError(ErrorNumber::ObjectVariableNotSet);
        const QList<QObject *> running = findChildren<QObject *>(LinkCaptureRun::runName(), Qt::FindDirectChildrenOnly);
        auto *run = new LinkCaptureRun(this, web, mode);
        if (running.isEmpty())
            run->start();
        else
            connect(running.last(), &QObject::destroyed, run, &LinkCaptureRun::start);
    });
}

void frmMain::CaptureLinksEx(int mode, const DocumentSnapshot &doc, const QString &source)
{
    IgnoreErrors ignore;
    // Unsorted while rows are added, so a sorted list sorts once per document.
    const bool wasSorted = lstLinks->sorted();
    lstLinks->setSorted(false);
    ignore([&] { appendDocumentRows(lstLinks, mode, doc, source); });
    lstLinks->setSorted(wasSorted);
}

void frmMain::RemoveEmailLinks()
{
    IgnoreErrors ignore;
    QStringList iconKeys;
    ignore([&] {
        for (int i = 1; i <= lstLinks->count(); ++i)
            iconKeys.append(lstLinks->item(i).smallIcon());
    });
    for (const int index : emailRowIndexes(iconKeys))
        ignore([&] { lstLinks->remove(index); });
}

void frmMain::SaveCapturedLinks(int mode)
{
    if (!lstLinks || lstLinks->count() == 0)
        return;
    const QString target = askCapturedLinksTarget();
    if (target.isEmpty() || !mayReplace(target))
        return;
    const QString html = CapturedLinksHtml(capturedLinks(lstLinks), mode, dateTimeText(QDateTime::currentDateTime()));
    try {
        writeCapturedLinksFile(target, capturedLinksFileBytes(html));
    } catch (const RuntimeError &) {
        MsgBox(QStringLiteral("Přístup k souboru byl zamítnut."), MsgBoxStyle::Critical | MsgBoxStyle::OKOnly);
    }
}

void frmMain::tbLinks_ButtonClick(int Index, const QString &Button)
{
    tbLinks_ButtonMenuClick(Index, Button);
}

void frmMain::tbLinks_ButtonMenuClick(int, const QString &ButtonMenu)
{
    const LinksCommand command = linksCommand(ButtonMenu);
    switch (command.kind) {
    case LinksCommandKind::Capture: CaptureLinks(command.mode); break;
    case LinksCommandKind::Save: SaveCapturedLinks(command.mode); break;
    case LinksCommandKind::RemoveSelected: runIgnoringErrors([this] { removeSelectedLink(lstLinks); }); break;
    case LinksCommandKind::RemoveAll:
        if (lstLinks->count() > 0)
            lstLinks->clear();
        break;
    case LinksCommandKind::RemoveEmail:
        if (lstLinks->count() > 0)
            RemoveEmailLinks();
        break;
    case LinksCommandKind::None: break;
    }
}

void frmMain::lstLinks_ItemClick(const ListItem &Item)
{
    if (shared().WindowCount < 1 || LinksMouseButton != 1)
        return;
    runIgnoringErrors([&] {
        // A script address would run in whatever page the window shows now.
        if (Item.smallIcon() == ScriptProtocolKey) {
            QTimer::singleShot(0, this, [] { MsgBox(ScriptLinkRefusedMessage, MsgBoxStyle::Exclamation | MsgBoxStyle::OKOnly); });
            return;
        }
        requireActiveForm()->Web->Navigate(Item.subItem(1));
        Item.setBold(true);
    });
}

void frmMain::lstLinks_DblClick()
{
    if (lstLinks->count() == 0)
        CaptureLinks(LinkCaptureMode::All);
}

void frmMain::lstLinks_ColumnClick(int ColumnHeader)
{
    lstLinks->setSorted(true);
    lstLinks->setSortOrder(flippedSortOrder(lstLinks->sortOrder()));
    lstLinks->setSortKey(ColumnHeader - 1);
}

void frmMain::lstLinks_MouseDown(Qt::MouseButton Button)
{
    LinksMouseButton = mouseButtonNumber(Button);
}

void frmMain::lstLinks_MouseUp(Qt::MouseButton Button)
{
    LinksMouseButton = mouseButtonNumber(Button);
    if (LinksMouseButton == 2)
        showLinksPopup();
}

void frmMain::showLinksPopup()
{
    Forms::get<frmPM>()->showLinksMenu(QCursor::pos(), lstLinks->count() > 0);
}

void frmMain::lstLinks_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift, bool *consumed)
{
    IgnoreErrors ignore;
    const PaneKeyDecision decision = paneKeyDecision(PaneKind::Links, KeyCode, shiftMask(Shift));
    if (consumed && decision.consumed)
        *consumed = true;
    switch (decision.action) {
    case PaneKeyAction::Remove: ignore([this] { removeSelectedLink(lstLinks); }); break;
    case PaneKeyAction::EditCaption:
        ignore([this] {
            if (lstLinks->count() > 0)
                lstLinks->startLabelEdit();
        });
        break;
    case PaneKeyAction::FocusPage:
        ignore([this] {
            if (shared().WindowCount > 0)
                requireActiveForm()->Web->setFocusToPage();
        });
        break;
    case PaneKeyAction::NextPane: mnuViewPane_Click(1); break;
    case PaneKeyAction::HidePanel:
        ignore([this] {
            if (picMain->isVisible())
                mnuViewMainPanel_Click();
        });
        break;
    case PaneKeyAction::PopUp: ignore([this] { showLinksPopup(); }); break;
    case PaneKeyAction::Open:
    case PaneKeyAction::None: break;
    }
    ErrorState::clear();
}
