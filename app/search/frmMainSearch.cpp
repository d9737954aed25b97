// This room holds the file-search pane: its builder, handlers, icons and pop-up menu.
// The file-search pane: its criteria, toolbar and status bar, the search run as the
// pane sees it, and the results list with its keys and mouse.
#include "app/frmMain.h"

#include "app/AddFavoriteDialog.h"
#include "app/search/SearchPaneIcons.h"
#include "app/panel/frmPM.h"
#include "browser/BrowserEventRules.h"
#include "browser/LinksPaneRules.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/ErrorLog.h"
#include "core/FileSettings.h"
#include "core/SharedState.h"
#include "files/FileSearch.h"
#include "files/SearchPlaces.h"
#include "files/frmSelectDir.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/KeyClaim.h"
#include "platform/controls/ListView.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/Toolbar.h"
#include "platform/engine/BrowserControl.h"
#include "platform/files/FileNames.h"
#include "platform/system/ErrorState.h"
#include "platform/system/Units.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using Units::twipsToPixels;

namespace {

// The pane's designed positions in twips: the toolbar at the top, the criteria under
// it, the list below them or, with the criteria hidden, over them.
constexpr int kToolbarHeight = 360;
constexpr int kLabelTops[] = {420, 1020, 1620};
constexpr int kComboOffset = 210;
constexpr int kComboHeight = 330;
constexpr int kListTopShown = 2400;
constexpr int kListTopHidden = 370;
constexpr int kStatusBarHeight = 300;

const QString kLookIn = QStringLiteral("&Prohledat: ");

enum class CriteriaKeyAction { None, Start, Stop, NextPane, HidePanel };

CriteriaKeyAction criteriaKeyAction(int key, Qt::KeyboardModifiers modifiers, bool startsAndStops)
{
    if (key == Qt::Key_F12) {
        if (modifiers == Qt::NoModifier)
            return CriteriaKeyAction::NextPane;
        if (modifiers == Qt::ControlModifier)
            return CriteriaKeyAction::HidePanel;
        return CriteriaKeyAction::None;
    }
    if (!startsAndStops)
        return CriteriaKeyAction::None;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return CriteriaKeyAction::Start;
    if (key == Qt::Key_Escape)
        return CriteriaKeyAction::Stop;
    return CriteriaKeyAction::None;
}

QLabel *criteriaLabel(const QString &caption, QWidget *field, QWidget *parent, const char *name)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(field);
    return label;
}

} // namespace

QString searchStatusLine(int listed, qint64 examined, bool withText, int unreadable)
{
    QString line = withText ? QStringLiteral("Hotovo. Nalezeno %1 z %2 souborů.").arg(listed).arg(examined)
                            : QStringLiteral("Hotovo. Nalezeno %1 souborů.").arg(listed);
    // A search that missed folders must not read as complete.
    if (unreadable == 1)
        line += QStringLiteral(" 1 složku nelze přečíst.");
    else if (unreadable >= 2 && unreadable <= 4)
        line += QStringLiteral(" %1 složky nelze přečíst.").arg(unreadable);
    else if (unreadable > 4)
        line += QStringLiteral(" %1 složek nelze přečíst.").arg(unreadable);
    return line;
}

void frmMain::createSearchPane()
{
    QWidget *pane = picUn[3];
    imlSearch = new ImageList(this);
    imlSearch->setObjectName(QStringLiteral("imlSearch"));
    SearchPaneIcons::fill(imlSearch);
    tbSearch = new Toolbar(pane);
    tbSearch->setObjectName(QStringLiteral("tbSearch"));
    tbSearch->setImageList(imlSearch);
    tbSearch->setTextBesideImages(true);
    const struct { const char *key, *caption, *toolTip; bool shown; } buttons[] = {
        {"find", "Najít     ", "Zahájit hledání souborů", true},
        {"stop", "Zastavit", "Zastavit hledání souborů", false},
        {"hide", "Skrýt     ", "Skrýt kritéria vyhledávání", true},
        {"show", "Zobrazit", "Zobrazit kritéria vyhledávání", false},
    };
    for (const auto &b : buttons) {
        ToolbarButton &button = tbSearch->addButton(QLatin1String(b.key), QString::fromUtf8(b.caption),
                                                    ButtonStyle::Default, QLatin1String(b.key == QLatin1String("find") ? "findfile" : b.key));
        button.setToolTip(QString::fromUtf8(b.toolTip));
        button.setVisible(b.shown);
    }

    comWhere = new ImageCombo(pane);
    comWhere->setObjectName(QStringLiteral("comWhere"));
    comWhat = new ImageCombo(pane);
    comWhat->setObjectName(QStringLiteral("comWhat"));
    comWhat->setEditable(true);
    comText = new QComboBox(pane);
    comText->setObjectName(QStringLiteral("comText"));
    comText->setEditable(true);
    for (QComboBox *combo : {static_cast<QComboBox *>(comWhat), comText}) {
        // The run searches what was typed: no inline completion from the list.
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->lineEdit()->setClearButtonEnabled(false);
    }
    lblLookIn = criteriaLabel(QStringLiteral("&Prohledat:"), comWhere, pane, "lblLookIn");
    lblFile = criteriaLabel(QStringLiteral("&Hledat soubory:"), comWhat, pane, "lblFile");
    lblText = criteriaLabel(QStringLiteral("Obsahující te&xt:"), comText, pane, "lblText");

    lstResults = new ListView(pane);
    lstResults->setObjectName(QStringLiteral("lstResults"));
    lstResults->addColumn(QStringLiteral("Soubor"), twipsToPixels(1800));
    lstResults->addColumn(QStringLiteral("Název"), twipsToPixels(2400));
    lstResults->addColumn(QStringLiteral("Cesta"), twipsToPixels(2400));
    lstResults->addColumn(QStringLiteral("Datum/Čas"), twipsToPixels(1800));
    lstResults->addColumn(QStringLiteral("Velikost"), twipsToPixels(900), Qt::AlignRight);
    fraResults = new QFrame(pane);
    fraResults->setObjectName(QStringLiteral("fraResults"));
    fraResults->setFrameShape(QFrame::StyledPanel);
    fraResults->hide();
    sbFindFileBar = new StatusBar(pane);
    sbFindFileBar->setObjectName(QStringLiteral("sbFindFileBar"));
    sbFindFileBar->addPanel(QStringLiteral("text"), 100, PanelAutoSize::Spring);
    lstResults->move(0, twipsToPixels(kListTopShown));

    fileSearch = new FileSearch(this);
    searchVolumes = [] { return VolumeTable::fromSystem(); };
}

void frmMain::connectSearchPane()
{
    // The folder tree's images serve the places, the file types and the rows.
    lstResults->setSmallImageList(imlNIcons);
    comWhere->setImageList(imlNIcons);
    comWhat->setImageList(imlNIcons);
    connect(tbSearch, &Toolbar::buttonClicked, this, &frmMain::tbSearch_ButtonClick);
    connect(fileSearch, &FileSearch::rowsFound, this, &frmMain::searchRowsFound);
    connect(fileSearch, &FileSearch::walking, this, &frmMain::searchWalking);
    connect(fileSearch, &FileSearch::finished, this, &frmMain::searchFinished);
    connect(comWhere, &ImageCombo::itemChosen, this, [this](const QString &) { comWhere_Click(); });
    // The window filters every event of the program; the fields' keys are taken there.
    const auto criteriaKeys = [](QComboBox *combo, bool startsAndStops) {
        claimKeys(combo, [startsAndStops](int key, Qt::KeyboardModifiers modifiers) {
            return criteriaKeyAction(key, modifiers, startsAndStops) != CriteriaKeyAction::None;
        });
    };
    criteriaKeys(comText, true);
    criteriaKeys(comWhat, true);
    criteriaKeys(comWhere, false);
    if (QWidget *stop = searchStopWidget())
        claimKeys(stop, [](int key, Qt::KeyboardModifiers) { return key == Qt::Key_Escape; });

    connect(menuItem(QStringLiteral("mnuToolsSearchFilesStart")), &QAction::triggered, this,
            &frmMain::mnuToolsSearchFilesStart_Click);
    connect(menuItem(QStringLiteral("mnuToolsSearchFilesStop")), &QAction::triggered, this,
            &frmMain::mnuToolsSearchFilesStop_Click);
    connect(menuItem(QStringLiteral("mnuToolsClearResults")), &QAction::triggered, this,
            &frmMain::mnuToolsClearResults_Click);

    connect(lstResults, &ListView::itemClicked, this, &frmMain::lstResults_ItemClick);
    connect(lstResults, &ListView::columnClicked, this, &frmMain::lstResults_ColumnClick);
    connect(lstResults, &ListView::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &) { lstResults_MouseDown(button); });
    connect(lstResults, &ListView::mouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &) { lstResults_MouseUp(button); });
    connect(lstResults, &ListView::keyDown, this, [this](int key, Qt::KeyboardModifiers modifiers, bool *) {
        lstResults_KeyDown(key, modifiers);
    });
    claimKeys(lstResults, [](int key, Qt::KeyboardModifiers modifiers) {
        return key == Qt::Key_Insert || (key == Qt::Key_F12 && (modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier));
    });
}

bool frmMain::filterSearchPaneEvent(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::FocusIn)
        return false;
    if (event->type() == QEvent::KeyPress && watched == searchStopWidget() && watched == QApplication::focusWidget()
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        StopSearch();
        return true;
    }
    QComboBox *combo = nullptr;
    for (QComboBox *field : {comText, static_cast<QComboBox *>(comWhat), static_cast<QComboBox *>(comWhere)}) {
        if (field && (watched == field || watched == field->lineEdit()))
            combo = field;
    }
    if (!combo)
        return false;
    if (event->type() == QEvent::FocusIn) {
        if (combo == comWhere && watched == comWhere)
            comWhere_GotFocus();
        return false;
    }
    // A key the field leaves travels on to its parents: it is taken once, where it began.
    if (watched != QApplication::focusWidget())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const CriteriaKeyAction action = criteriaKeyAction(key->key(), key->modifiers() & ~Qt::KeypadModifier, combo != comWhere);
    IgnoreErrors ignore;
    switch (action) {
    case CriteriaKeyAction::None: return false;
    case CriteriaKeyAction::Start: StartSearch(); break;
    case CriteriaKeyAction::Stop: StopSearch(); break;
    case CriteriaKeyAction::NextPane: ignore([this] { mnuViewPane_Click(4); }); break;
    case CriteriaKeyAction::HidePanel:
        ignore([this] {
            if (!picMain->isHidden())
                mnuViewMainPanel_Click();
        });
        break;
    }
    return true;
}

void frmMain::placeSearchPane(int paneWidth, int paneHeight)
{
    const int height = paneHeight - kStatusBarHeight;
    const int top = CriteriaHidden ? kListTopHidden : kListTopShown;
    const int listHeight = CriteriaHidden ? height - 355 : height - 2370;
    const QRect list(0, twipsToPixels(top), twipsToPixels(paneWidth + 30), twipsToPixels(std::max(0, listHeight)));
    lstResults->setGeometry(list);
    fraResults->setGeometry(list);
    sbFindFileBar->setGeometry(0, twipsToPixels(height), twipsToPixels(paneWidth), twipsToPixels(kStatusBarHeight));
    tbSearch->setGeometry(0, 0, twipsToPixels(paneWidth), twipsToPixels(kToolbarHeight));
    QLabel *labels[] = {lblLookIn, lblFile, lblText};
    QComboBox *combos[] = {comWhere, comWhat, comText};
    for (int i = 0; i < 3; ++i) {
        labels[i]->setGeometry(twipsToPixels(60), twipsToPixels(kLabelTops[i]), twipsToPixels(paneWidth - 60), twipsToPixels(210));
        combos[i]->setGeometry(0, twipsToPixels(kLabelTops[i] + kComboOffset), twipsToPixels(paneWidth), twipsToPixels(kComboHeight));
    }
    lstResults->raise();
    fraResults->raise();
}

void frmMain::refitSearchPane()
{
    if (picUn[3])
        placeSearchPane(Units::pixelsToTwips(picUn[3]->width()), Units::pixelsToTwips(picUn[3]->height()));
}

void frmMain::tbSearch_ButtonClick(const QString &key)
{
    if (key == QLatin1String("find"))
        StartSearch();
    else if (key == QLatin1String("stop"))
        StopSearch();
    else if (key == QLatin1String("hide") || key == QLatin1String("show"))
        setCriteriaHidden(key == QLatin1String("hide"));
}

void frmMain::setCriteriaHidden(bool hidden)
{
    IgnoreErrors ignore;
    CriteriaHidden = hidden;
    ignore([this] { refitSearchPane(); });
    ignore([this, hidden] {
        tbSearch->button(QStringLiteral("hide")).setVisible(!hidden);
        tbSearch->button(QStringLiteral("show")).setVisible(hidden);
    });
    if (hidden || !SearchRunning)
        setCriteriaEnabled(!hidden);
}

void frmMain::setCriteriaEnabled(bool enabled)
{
    for (QComboBox *combo : {static_cast<QComboBox *>(comWhat), comText, static_cast<QComboBox *>(comWhere)})
        combo->setEnabled(enabled);
}

void frmMain::comWhere_Click()
{
    IgnoreErrors ignore;
    if (comWhere->selectedKey() != QLatin1String("choose"))
        return;
    SharedState &s = shared();
    s.SelectDirMode = 6;
    s.SelectDirKey = QStringLiteral("Main\\FindPath");
    ignore([this] { Forms::get<frmSelectDir>()->showModal(this); });
    ignore([this] { comWhere->select(QStringLiteral("custom")); });
    // The field has the keyboard again once the dialog is gone; taking it shows the
    // chosen folder as the custom place.
    comWhere->setFocus();
    comWhere_GotFocus();
    if (ErrorState::isSet())
        LogError(QStringLiteral("comwhere_click"), comWhere->selectedKey());
}

void frmMain::comWhere_GotFocus()
{
    runIgnoringErrors([this] { comWhere->setItemText(QStringLiteral("custom"), FileSettings::findPath()); });
}

void frmMain::mnuToolsSearchFilesStart_Click()
{
    StartSearch();
}

void frmMain::mnuToolsSearchFilesStop_Click()
{
    StopSearch();
}

void frmMain::showSearchCommands(bool running)
{
    IgnoreErrors ignore;
    ignore([&] { tbSearch->button(QStringLiteral("stop")).setVisible(running); });
    ignore([&] { tbSearch->button(QStringLiteral("find")).setVisible(!running); });
    menuItem(QStringLiteral("mnuToolsSearchFilesStart"))->setVisible(!running);
    menuItem(QStringLiteral("mnuToolsSearchFilesStop"))->setVisible(running);
    ignore([&] {
        frmPM *pm = Forms::get<frmPM>();
        pm->mnuFindFilesStart->setVisible(!running);
        pm->mnuFindFilesStop->setVisible(running);
    });
}

QWidget *frmMain::searchStopWidget() const
{
    QWidget *stop = nullptr;
    runIgnoringErrors([&] { stop = tbSearch->button(QStringLiteral("stop")).widget(); });
    return stop;
}

void frmMain::keepKeyboardForRun()
{
    // The criteria are disabled for the run: the keyboard would fall to the address
    // field, where Esc selects the address instead of stopping the run. It stays in
    // the pane, on "Zastavit" (StartSearch), and goes back to the field that had it
    // afterwards.
    QWidget *focused = QApplication::focusWidget();
    m_searchKeyboardFrom = nullptr;
    if (!focused || !picUn[3]->isAncestorOf(focused))
        return;
    m_searchKeyboardFrom = focused;
    for (QComboBox *field : {comText, static_cast<QComboBox *>(comWhat), static_cast<QComboBox *>(comWhere)}) {
        if (field->isAncestorOf(focused))
            m_searchKeyboardFrom = field;
    }
}

void frmMain::giveKeyboardBackAfterRun(bool hadKeyboard)
{
    if (!hadKeyboard)
        return;
    QWidget *back = m_searchKeyboardFrom;
    if (!back || !back->isEnabled() || !back->isVisible())
        back = lstResults;
    back->setFocus(Qt::OtherFocusReason);
}

void frmMain::StartSearch()
{
    IgnoreErrors ignore;
    keepKeyboardForRun();
    FilesExamined = 0;
    m_searchUnreadable = 0;
    SearchRunning = true;
    showSearchCommands(true);
    lstResults->hide();
    fraResults->setGeometry(lstResults->geometry());
    fraResults->show();
    setCriteriaEnabled(false);
    if (m_searchKeyboardFrom) {
        if (QWidget *stop = searchStopWidget())
            stop->setFocus(Qt::OtherFocusReason);
    }
    // Until the walk turns to a folder the line is empty: never the last run's figures.
    showSearchLine(QString(), kLookIn);
    ignore([this] {
        const QString key = comWhere->selectedKey();
        const SharedState &s = shared();
        SearchRequest request;
        request.volumes = searchVolumes();
        request.readVolumes = searchVolumes;
        const QString custom = comWhere->indexOfKey(QStringLiteral("custom")) ? comWhere->itemText(QStringLiteral("custom")) : QString();
        request.starts = SearchPlaces::starts(key, custom, {s.DesktopDir, s.PersonalDir, custom}, request.volumes);
        // Typed text is taken composed (NFC), the form names are compared in; file
        // content is matched as it is stored.
        request.pattern = comWhat->currentText().normalized(QString::NormalizationForm_C);
        request.text = comText->currentText().normalized(QString::NormalizationForm_C);
        m_searchPlace = key;
        m_searchRun = fileSearch->start(request);
        m_searchEnded = false;
    });
}

void frmMain::showSearchLine(const QString &line, const QString &lookIn)
{
    runIgnoringErrors([&] {
        StatusPanel &panel = sbFindFileBar->panel(QStringLiteral("text"));
        panel.setText(line);
        panel.setToolTip(line);
    });
    lblLookIn->setText(lookIn);
}

void frmMain::writeSearchStatus()
{
    runIgnoringErrors([this] {
        const QString line = searchStatusLine(lstResults->count(), FilesExamined, !comText->currentText().isEmpty(),
                                              m_searchUnreadable);
        showSearchLine(line, kLookIn + QStringLiteral(" [") + line + QLatin1Char(']'));
    });
}

void frmMain::StopSearch()
{
    SearchRunning = false;
    fileSearch->stop();
    // The figures of a run still unwinding are not known yet: its end writes them.
    if (m_searchEnded)
        writeSearchStatus();
    QWidget *stop = searchStopWidget();
    const bool hadKeyboard = stop && stop->hasFocus();
    showSearchCommands(false);
    lstResults->show();
    fraResults->hide();
    setCriteriaEnabled(true);
    giveKeyboardBackAfterRun(hadKeyboard);
}

void frmMain::searchWalking(quint64 run)
{
    if (run != m_searchRun)
        return;
    const QString folder = shownFileName(fileSearch->folderWalked());
    // After a stop the line waits for the run's end and its figures.
    if (SearchRunning && !folder.isEmpty())
        showSearchLine(folder, kLookIn + QLatin1Char('[') + folder + QLatin1Char(']'));
}

void frmMain::searchRowsFound(quint64 run, const QList<SearchRow> &rows, qint64 examined)
{
    if (run != m_searchRun)
        return;
    FilesExamined = examined;
    IgnoreErrors ignore;
    QList<ListRowData> fresh;
    for (const SearchRow &row : rows) {
        if (lstResults->contains(row.path)) {
            // A file listed before keeps its row; what may have changed is written again.
            ignore([&] {
                const ListItem item = lstResults->item(row.path);
                item.setSubItem(2, row.folder);
                item.setSubItem(3, row.dateText);
                item.setSubItem(4, row.sizeText);
                if (row.page)
                    item.setSubItem(1, row.title);
            });
            continue;
        }
        const QString icon = imlNIcons && imlNIcons->contains(row.extension) ? row.extension : QStringLiteral("${other}");
        fresh.append({row.path, row.name, icon, {row.title, row.folder, row.dateText, row.sizeText}});
    }
    if (!fresh.isEmpty())
        ignore([&] { lstResults->append(fresh); });
}

void frmMain::searchFinished(quint64 run, qint64 examined, bool unavailable, int unreadable)
{
    if (run != m_searchRun)
        return;
    FilesExamined = examined;
    m_searchUnreadable = unreadable;
    m_searchEnded = true;
    writeSearchStatus();
    SearchRunning = false;
    QWidget *stop = searchStopWidget();
    const bool hadKeyboard = stop && stop->hasFocus();
    showSearchCommands(false);
    lstResults->show();
    fraResults->hide();
    if (!CriteriaHidden)
        setCriteriaEnabled(true);
    giveKeyboardBackAfterRun(hadKeyboard);
    if (unavailable && SearchPlaces::reportsUnavailable(m_searchPlace))
        MsgBox(QStringLiteral("Disk není nyní přístupný."), MsgBoxStyle::Critical, QStringLiteral("Nastala chyba aplikace."));
}

void frmMain::mnuToolsClearResults_Click()
{
    IgnoreErrors ignore;
    ignore([this] { lstResults->clear(); });
    ignore([this] {
        StatusPanel &panel = sbFindFileBar->panel(QStringLiteral("text"));
        panel.setText(QString());
        panel.setToolTip(QString());
    });
    lblLookIn->setText(kLookIn);
}

void frmMain::lstResults_ItemClick(const ListItem &Item)
{
    if (shared().WindowCount < 1 || ResultsMouseButton != 1)
        return;
    runIgnoringErrors([&] { requireActiveForm()->Web->Navigate(pathAsAddress(Item.key())); });
}

void frmMain::lstResults_MouseDown(Qt::MouseButton Button)
{
    ResultsMouseButton = mouseButtonNumber(Button);
}

void frmMain::lstResults_MouseUp(Qt::MouseButton Button)
{
    ResultsMouseButton = mouseButtonNumber(Button);
    if (ResultsMouseButton == 2)
        runIgnoringErrors([this] { Forms::get<frmPM>()->popUpFindFiles(lstResults->count() > 0); });
}

void frmMain::lstResults_ColumnClick(int ColumnHeader)
{
    lstResults->setSorted(true);
    lstResults->setSortOrder(flippedSortOrder(lstResults->sortOrder()));
    lstResults->setSortKey(ColumnHeader - 1);
}

void frmMain::lstResults_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift)
{
    IgnoreErrors ignore;
    if (KeyCode == Qt::Key_Insert) {
        ignore([this] {
            if (shared().WindowCount > 0)
                requireActiveForm()->Web->setFocusToPage();
        });
    } else if (KeyCode == Qt::Key_F12 && Shift == Qt::NoModifier) {
        ignore([this] { mnuViewPane_Click(4); });
    } else if (KeyCode == Qt::Key_F12 && Shift == Qt::ControlModifier) {
        ignore([this] {
            if (!picMain->isHidden())
                mnuViewMainPanel_Click();
        });
    }
    ErrorState::clear();
}

void frmMain::openSelectedResult(bool newWindow)
{
    IgnoreErrors ignore;
    const ListItem selected = lstResults->selectedItem();
    if (selected.isNull())
        return;
    if (newWindow)
        ignore([&] { NewWindow(pathAsAddress(selected.key())); });
    else if (shared().WindowCount > 0)
        ignore([&] { requireActiveForm()->Web->Navigate(pathAsAddress(selected.key())); });
}

void frmMain::addSelectedResultToFavorites()
{
    runIgnoringErrors([this] {
        const ListItem selected = lstResults->selectedItem();
        if (selected.isNull())
            return;
        const QString address = selected.key();
        const QString title = selected.subItem(1);
        if (!address.isEmpty())
            AddFavorite(pathAsAddress(address), title, this);
    });
}
