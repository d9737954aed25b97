#pragma once

#include "core/BrowserHost.h"
#include "core/FilesHost.h"

#include <QMainWindow>
#include <QPointer>
#include <QVariantMap>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>

class QAction;
class QComboBox;
class FileSearch;
class ImageCombo;
struct SearchRow;
class VolumeTable;
class QFrame;
class QLabel;
class ImageList;
class ButtonMenu;
class ListView;
class ListItem;
struct DocumentSnapshot;
struct PageSnapshot;
class TreeView;
class TreeNode;
enum class FavoritesItem;
class FolderTreeLoader;
class QMdiArea;
class QRect;
enum class ButtonStyle;
class QMenu;
class QSlider;
class QTimer;
class QWidget;
class StatusBar;
class TabStrip;
class Toolbar;
class frmWeb;
struct ProgressDisplay;
class CoolBar;
namespace BarSettings {
enum class Bar;
}

// The main window: a multiple-document frame that holds the browser windows, the
// main panel on its left and the bars above and below. It listens to every browser
// window and answers what the windows ask of it.
class frmMain : public QMainWindow, public BrowserHost, public FilesHost
{
    Q_OBJECT
    // The files pop-up menu runs the File menu's commands.
    friend class frmPM;

public:
    frmMain();
    ~frmMain() override;

    QMdiArea *mdiArea = nullptr;
    QTimer *tmrNW = nullptr;

    // The main panel on the left.
    QWidget *picMain = nullptr;

    // The bars: the standard toolbar (member 1), the window buttons (member 3), the
    // address combo, the zoom slider, the window tabs and the status bar.
    std::array<Toolbar *, 4> tbToolbar{};
    QComboBox *txtAddress = nullptr;
    QSlider *sliZoom = nullptr;
    QWidget *picWindows = nullptr;
    TabStrip *tbsWindows = nullptr;
    StatusBar *sbStatusBar = nullptr;

    QMenu *mnuwindow = nullptr;
    QAction *mnuFileExit = nullptr;
    QAction *mnuFileNew = nullptr;
    QAction *mnuOffline = nullptr;
    QAction *mnuAdjustImages = nullptr;
    QAction *mnuViewMainPanel = nullptr;

    // A menu item by its name; raises when there is none.
    QAction *menuItem(const QString &name) const;
    QMenu *menu(const QString &name) const;

    // The active browser window: the frame's current child window, or none.
    frmWeb *ActiveForm() const;
    // The same, raising "Object variable not set" when no browser window is open, for
    // the steps that run with errors ignored.
    frmWeb *requireActiveForm() const;
    // Selects the tab of the frame's current child window.
    void syncSelectedTab();
    // The active-window test of the browser windows' reports: the selected tab carries
    // the window's number.
    bool isActiveByTab(const frmWeb *window) const;

    QMdiArea *windowArea() const override;
    bool mainPanelShown() const override;
    bool opensNewWindowsBehind() const override;

    // Restores and stores the window's configuration.
    void LoadSettings();
    void SaveConfig();

    void mnuFileExit_Click();
    void mnuFileNew_Click();
    void mnuViewMainPanel_Click();
    void picMain_Resize();
    // Shows the pane after the one shown now (F12 in a browser window).
    void showNextPane();

    // Address combo and page commands (frmMainAddress.cpp, frmMainPage.cpp).
    void txtAddress_KeyPress(int KeyAscii);
    void txtAddress_KeyDown(int KeyCode, int Shift);
    void txtAddress_GotFocus();
    void mnuGoBack_Click();
    void mnuGoForward_Click();
    void mnuGoHome_Click();
    void mnuGoSearch_Click();
    void mnuViewStop_Click();
    void mnuViewRefresh_Click();
    void mnuPageReload_Click();
    void mnuAddToFav_Click();
    void mnuSearchFindonPage_Click();
    void mnuFilePrint_Click();
    void mnuAdjustImages_Click();
    void mnuAdjustNow_Click();
    // Empties the deleted-files store after asking (frmMainFiles.cpp).
    void mnuDeleteAll_Click();
    // Gives the built folder tree its deleted-files store node, unread, when it lacks one.
    void addStoreNode();
    // Who asked to open a favorites file: the favorites pane and its pop-up, or a
    // navigation of a browser window to the file (the folder tree, the search results,
    // the files pop-up, a typed address or a page's link all arrive that way).
    enum class ShortcutRequest { FavoritesPane, Navigation };
    // Opens the address held in a favorites file ("file" nodes only).
    void FavNodeOpen(const QString &Tag, const QString &Path, bool NewWindow,
                     ShortcutRequest from = ShortcutRequest::FavoritesPane);

    // Main panel and panes (frmMainPanel.cpp); the pane builders fill their panes on first use.
    QFrame *fraBorder = nullptr;
    QFrame *fraTop = nullptr;
    QLabel *tbMainPane = nullptr;
    QWidget *picClose = nullptr;
    QLabel *imgSplitter = nullptr;
    QWidget *picSplitter = nullptr;
    // Pane containers 1 to 4; 0, 5 and 6 stay empty.
    std::array<QWidget *, 7> picUn{};
    TreeView *trwFavorites = nullptr;
    TreeView *trwPath = nullptr;
    StatusBar *sbFileBar = nullptr;
    ImageCombo *comWhat = nullptr;
    QComboBox *comText = nullptr;
    ImageCombo *comWhere = nullptr;
    ListView *lstResults = nullptr;
    StatusBar *sbFindFileBar = nullptr;
    ListView *lstLinks = nullptr;
    std::array<QAction *, 7> mnuViewPane{};
    bool SplitterMoving = false;
    void mnuViewPane_Click(int Index);
    // The pane pop-up chooses a pane over the visible panel, in an order of its own.
    enum class PaneChoice { ViewMenu, Popup };
    void choosePane(int Index, PaneChoice how);
    // The pane shown now (1 to 4), 0 while none is.
    int shownPane() const;
    // The width the window has in its normal state, or will have when made normal
    // again: the splitter must leave room in both.
    int normalWidth() const;
    void tbMainPane_DblClick();
    void picMain_GotFocus();
    void LoadFavorites();
    void LoadFileTree();
    void initSearchForFiles();

    // The favorites pane (frmMainFavorites.cpp); its tree shares the folder tree's images.
    std::array<Toolbar *, 2> tbFavorites{};
    int FavoritesMouseButton = 0;
    void createFavoritesPane();
    void LoadFavDirs(const QString &path);
    void LoadFavFiles(const QString &path);
    void tbFavorites_ButtonClick(int Index, const QString &Button);
    void trwFavorites_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift, bool *consumed);
    void trwFavorites_MouseDown(Qt::MouseButton Button);
    void trwFavorites_NodeClick(const TreeNode &Node);
    void trwFavorites_MouseUp(Qt::MouseButton Button);
    void trwFavorites_Expand(const TreeNode &Node);
    void trwFavorites_Collapse(const TreeNode &Node);
    // Shows the favorites pop-up at the pointer, acting on the tree's selected node.
    void showFavoritesPopup(FavoritesItem defaultItem);
    // The folders-and-files pane (frmMainFileTree.cpp).
    ImageList *imlNIcons = nullptr;
    void LoadDirs(const QString &path);
    void LoadFiles(const QString &path);
    void LoadDelFiles();
    void trwPath_Expand(const TreeNode &Node);
    void trwPath_Collapse(const TreeNode &Node);
    void trwPath_NodeClick(const TreeNode &Node);
    void trwPath_MouseDown(Qt::MouseButton Button);
    void trwPath_MouseUp(Qt::MouseButton Button);
    void trwPath_KeyUp();
    // The tree's own keys, the files pop-up menu and the file toolbars (frmMainFileKeys.cpp,
    // frmMainFilesPopup.cpp, frmMainFileToolbars.cpp).
    void trwPath_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift, bool *consumed);
    void ShowFilesMenu();
    std::array<Toolbar *, 3> tbFiles{};
    void tbFiles_ButtonClick(int Index, const QString &Button);
    void tbFiles_ButtonDropDown(int Index, const QString &Button);
    void tbFiles_ButtonMenuClick(int Index, const QString &ButtonMenu, int itemIndex);
    void trwPath_BeforeLabelEdit(bool *Cancel);
    void trwPath_AfterLabelEdit(const TreeNode &Node, bool *Cancel, QString *NewString);
    void trwPath_GotFocus();
    void sbFileBar_PanelClick(const QString &panelKey);

    // The file-search pane and its results list (frmMainSearch.cpp); the pop-up menu's
    // items call the operations below.
    QLabel *lblLookIn = nullptr;
    QLabel *lblFile = nullptr;
    QLabel *lblText = nullptr;
    Toolbar *tbSearch = nullptr;
    QFrame *fraResults = nullptr;
    ImageList *imlSearch = nullptr;
    FileSearch *fileSearch = nullptr;
    // The volumes a search may walk; tests hand in their own.
    std::function<VolumeTable()> searchVolumes;
    bool CriteriaHidden = false;
    bool SearchRunning = false;
    qint64 FilesExamined = 0;
    int ResultsMouseButton = 0;
    void StartSearch();
    void StopSearch();
    void tbSearch_ButtonClick(const QString &key);
    void comWhere_Click();
    void comWhere_GotFocus();
    void mnuToolsSearchFilesStart_Click();
    void mnuToolsSearchFilesStop_Click();
    void mnuToolsClearResults_Click();
    void lstResults_ItemClick(const ListItem &Item);
    void lstResults_MouseDown(Qt::MouseButton Button);
    void lstResults_MouseUp(Qt::MouseButton Button);
    void lstResults_ColumnClick(int ColumnHeader);
    void lstResults_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void openSelectedResult(bool newWindow);
    void addSelectedResultToFavorites();

    // Copying and moving a file into a chosen folder (frmMainCopyMove.cpp).
    void mnuFileCopy_Click();
    void mnuFileMove_Click();
    QWidget *dialogOwner() override;
    ImageList *treeImages() override;
    void applyOptions() override;
    void chooseFolder(const QString &settingKey, QWidget *owner) override;

    // Captured links: capture, the links pane and the captured-links page (frmMainLinks.cpp).
    std::array<Toolbar *, 3> tbLinks{};
    ImageList *imlProtocols = nullptr;
    int LinksMouseButton = 0;
    void createLinksPane();
    void CaptureLinks(int mode);
    // Appends the links of one document read by a capture, each with source as its source.
    void CaptureLinksEx(int mode, const DocumentSnapshot &doc, const QString &source);
    void SaveCapturedLinks(int mode);
    void RemoveEmailLinks();
    void tbLinks_ButtonClick(int Index, const QString &Button);
    void tbLinks_ButtonMenuClick(int Index, const QString &ButtonMenu);
    void lstLinks_ItemClick(const ListItem &Item);
    void lstLinks_DblClick();
    void lstLinks_ColumnClick(int ColumnHeader);
    void lstLinks_MouseDown(Qt::MouseButton Button);
    void lstLinks_MouseUp(Qt::MouseButton Button);
    // The links pop-up at the pointer: the whole menu, or only the capture items
    // while the list is empty.
    void showLinksPopup();
    void lstLinks_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift, bool *consumed);
Q_SIGNALS:
    // A capture has filled lstLinks, or found the page gone.
    void linksCaptureFinished();
public:

    // Window tabs and Window menu (frmMainWindows.cpp).
    void mnuWindowNext_Click();
    void mnuWindowPrevious_Click();
    void mnuWinSize_Click(int Index);
    void mnuWindowMaximize_Click();
    void mnuWindowClose_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();

    // Main toolbar (frmMainToolbar.cpp); image lists of the toolbars and the window tabs.
    ImageList *imlToolbar = nullptr;
    ImageList *imlToolbarGray = nullptr;
    ImageList *imlClose = nullptr;
    void tbToolbar_ButtonClick(int Index, const QString &key);
    void tbToolbar_ButtonDropDown(int Index, const QString &key);
    void tbToolbar_ButtonMenuClick(int Index, const QString &buttonKey, const QString &itemKey, int itemIndex);
    void mnuViewShowText_Click();
    // Page saving and the options dialog (frmMainSaving.cpp).
    void mnuPage_Click();
    void mnuPageSaveD_Click();
    void mnuPageSave_Click(int Index);
    void SavePageToPreset(int n);
    // Reads the active page and writes it to the path on a later turn of the event loop.
    void SavePageAsHtml(const QString &path) override;
    void mnuPageSaveHTML_Click();
    void mnuPageSaveBack_Click();
    void SavePageInBackground();
    void ShowOptionsPage(int page);

    // Help menu; the options, Internet settings and offline commands (frmMainHelp.cpp).
    void mnuViewOptions_Click();
    void mnuPageSaveSelect_Click();
    void mnuInternetSetting_Click();
    void mnuOffline_Click();
    void mnuHelpContents_Click();
    void mnuHelpInternetHomePage_Click();
    void mnuHelpEmail_Click();
    void mnuHelpAbout_Click();

    // Cool bars, View menu bar switches and the window configuration (frmMainBars.cpp, MainConfig.cpp).
    CoolBar *cbTop = nullptr;
    CoolBar *cbBottom = nullptr;
    void mnuView_Click();
    void mnuViewToolbars_Click();
    void mnuViewBottomBar_Click();
    void mnuViewStandard_Click();
    void mnuViewAddress_Click();
    void mnuViewTools_Click();
    void mnuViewStatusBar_Click();
    void mnuViewWindowList_Click();
    void mnuViewWindowControls_Click();
    // Image zoom on the active browser window (frmWebZoom.cpp holds the window's part).
    void sliZoom_Change();
    void ZoomNow();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Tab and Shift+Tab go round the window's own stops in a fixed order (frmMainPanel.cpp).
    bool focusNextPrevChild(bool next) override;

private:
    // The keyboard's stops: the shown pane's controls, the address field, the active
    // browser window.
    QList<QWidget *> focusStops() const;
    // What the browser windows report (frmMainBrowsers.cpp).
    void connectBrowserWindows();
    void listenToWindow(frmWeb *window);
    void browserWindowOpened(frmWeb *window);
    void browserWindowLoaded();
    void browserWindowActivated(frmWeb *window, bool canGoBack, bool canGoForward, const QString &progressText);
    void browserAddressChanged(frmWeb *window, const QString &shownText, bool image);
    void browserCommandStateChanged(frmWeb *window, int command, bool enabled);
    void browserZoomChanged(frmWeb *window, int percent);
    void browserPageVisited(frmWeb *window, const QString &address);
    void updateAddressHistory(const QString &address, bool active);
    void browserProgressChanged(frmWeb *window, const ProgressDisplay &display);
    void browserElementPointed(frmWeb *window, const QVariantMap &element, const QString &address);
    void browserWindowClosed(frmWeb *window);

    // Cool bars and View menu.
    void createBars(QWidget *owner);
    void createStatusBar(QWidget *owner);
    void applyBottomBarLoadSizes();
    void connectViewMenu();
    void toggleBand(CoolBar *bar, const QString &key, const QString &itemName);
    void toggleBar(CoolBar *bar, const QString &itemName);
    // Each band item's check mark follows its band's visibility.
    void syncBandItems();
    void saveBands(CoolBar *bar, BarSettings::Bar which, std::initializer_list<int> sized, std::initializer_list<int> rowed);

    // Address combo and page commands.
    void connectAddressCombo();
    void connectPageCommands();
    void connectHelpCommands();
    bool filterAddressComboEvent(QObject *watched, QEvent *event);

    // Main panel, window tabs and main toolbar.
    void createPanel(QWidget *parent);
    bool filterPanelEvent(QObject *watched, QEvent *event);
    void createImageLists();
    void connectPanel();
    void connectWindowCommands();
    void connectToolbars();
    void createDropDownLists();
    void connectSaving();
    // A pane's one-button toolbar, placed at the end of the row of those before it.
    struct PaneToolbarButton
    {
        const char *key;
        const char *caption;
        const char *toolTip;
        const char *image;
    };
    Toolbar *addPaneToolbar(QWidget *pane, const QString &name, const PaneToolbarButton &line, ButtonStyle style,
                            QRect &row);
    // The Page menu's saves log a page that is no HTML document under their own names.
    void savePageToPreset(int n, const QString &logAs);
    void savePageAsHtml(const QString &path, const QString &logAs);
    void writeSavedPage(const PageSnapshot &page, const QString &address, const QString &path, const QString &logAs);
    // A taken name: the name dialog proposes the same name, and its OK saves under the new one.
    void askAnotherPageName(const QString &path);
    void activateWindowNumber(int number, bool focusBrowser);
    void walkWindows(bool forward);
    void refreshWindowList();
    void arrangeWindows(int arrangement);
    void imgSplitter_MouseDown();
    void imgSplitter_MouseMove(int x);
    void imgSplitter_MouseUp();
    void tbsWindows_MouseUp(Qt::MouseButton button, const QPoint &position);
    void connectFileTree();
    void pruneFolderTree();
    void connectCopyMove();
    void connectFileKeys();
    void createFileToolbars();
    void fileMoveEnded();

    // The File menu (frmMainFileMenu.cpp).
    void connectFileMenu();
    void mnuFile_Click();
    void mnuFileQCopy_Click();
    void mnuFileQMove_Click();
    void mnuOpenwith_Click();
    void mnuFileQCopySelPaths_Click();
    void mnuQMoveSelectPath_Click();
    void mnuFileOpenWithChange_Click();
    void mnuFastRename_Click();
    void mnuFileQCopyTo_Click(int Index);
    void mnuFileQMoveTo_Click(int Index);
    void mnuFileOpenWithAssoc_Click();
    void mnuFileOpenWithEdit_Click();
    void mnuFileOpenWithPrint_Click();
    void mnuFileOpenWithItem_Click(int Index);
    void mnuFileDel_Click();
    void mnuDirNew_Click();
    void captionQuickItems(const QString &section, QString (*itemName)(int));
    void openWithVerb(const QString &verb);
    TreeNode selectedFileTreeNode() const;
    // The selected node's key when it is a file; "" otherwise.
    QString selectedFileKey() const;
    void showSelectedFile();
    void fileRemoved(const QString &path);

    std::shared_ptr<FolderTreeLoader> m_fileTreeLoader;

    void createSearchPane();
    void connectSearchPane();
    bool filterSearchPaneEvent(QObject *watched, QEvent *event);
    void placeSearchPane(int paneWidth, int paneHeight);
    void refitSearchPane();
    void setCriteriaHidden(bool hidden);
    void setCriteriaEnabled(bool enabled);
    void showSearchCommands(bool running);
    void writeSearchStatus();
    void searchRowsFound(quint64 run, const QList<SearchRow> &rows, qint64 examined);
    void searchWalking(quint64 run);
    void showSearchLine(const QString &line, const QString &lookIn);
    void searchFinished(quint64 run, qint64 examined, bool unavailable, int unreadable);
    quint64 m_searchRun = 0;
    // Folders the last run could not read.
    int m_searchUnreadable = 0;
    // Where the keyboard was when the run started, to go back to after it.
    QPointer<QWidget> m_searchKeyboardFrom;
    QWidget *searchStopWidget() const;
    void keepKeyboardForRun();
    void giveKeyboardBackAfterRun(bool hadKeyboard);
    // The last run has ended: its figures are known.
    bool m_searchEnded = true;
    QString m_searchPlace;

    void createControls();
    void createToolbars();
    void MDIForm_Initialize();
    void MDIForm_Load();
    void MDIForm_Activate();
    void MDIForm_DblClick();
    void MDIForm_MouseUp(Qt::MouseButton button, const QPoint &position);
    void MDIForm_Unload(bool cancel);
    void tmrNW_Timer();
    void tbsWindows_Click();

    bool m_unloaded = false;

    // Quitting asks every page the user typed into whether to leave it, one at a time
    // (frmMainWindows.cpp); true once none is left to ask.
    bool pagesAgreeToClose();
    QPointer<frmWeb> m_askedWindow; // its page is being asked on quitting

    // The address field keeps text the user edited while it has the keyboard
    // (frmMainAddress.cpp).
    bool keepsTypedAddress() const;
    void showActiveAddress();
    bool m_addressEdited = false;
    bool m_addressEntered = false; // Enter was pressed since the field took the keyboard
};
