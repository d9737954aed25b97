#pragma once

#include "platform/controls/TreeNode.h"

#include <QDialog>

#include <array>

class ListView;
class PresetListPage;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class TreeView;

// The options dialog: a page tree on the left, one page of controls beside it, and
// the dialog buttons below. One instance for the run (Forms::get<frmOptions>()): OK
// and Cancel only hide it, so it keeps the page it showed last; restoring the
// defaults and the close box unload it. Every showing reads the values again from
// the settings store and the registry.
class frmOptions : public QDialog
{
    Q_OBJECT

public:
    frmOptions();
    ~frmOptions() override;

    // The page numbers of the tree's nodes ("k" followed by the number) and the
    // number of page slots.
    static constexpr int PageCount = 17;
    static QString pageKey(int page);

    TreeView *trwOptions = nullptr;
    QStackedWidget *Frame = nullptr;
    // Members 5 ("&Nápověda") to 8 ("&OK").
    std::array<QPushButton *, 9> cmdNav{};
    QPushButton *cmdRestore = nullptr;

    // Page "Typy souborů": boxes 1 to 22 (0 unused).
    std::array<QCheckBox *, 23> chkFiletypes{};
    QCheckBox *chkFiletypesCust = nullptr;
    QLineEdit *txtUserFiletype = nullptr;
    QCheckBox *chkFiletypesAll = nullptr;
    QCheckBox *chkFiletypesNo = nullptr;

    // Page "Soubor".
    QCheckBox *chkFiles = nullptr;
    QCheckBox *chkDirs = nullptr;
    QCheckBox *chkDrives = nullptr;

    // Page "Stránka".
    QLineEdit *txtHomePage = nullptr;
    QLineEdit *txtSearchPage = nullptr;
    QLineEdit *txtBlankPage = nullptr;
    QCheckBox *chkDisplayImages = nullptr;
    QCheckBox *chkDisplayVideos = nullptr;
    QCheckBox *chkPlayAnimations = nullptr;
    QCheckBox *chkPlaySounds = nullptr;
    QCheckBox *chkDisableScriptDebugger = nullptr;

    // The preset lists, each on a page of its own with its caption and value boxes.
    PresetListPage *QCopyPage = nullptr;
    PresetListPage *QMovePage = nullptr;
    PresetListPage *SavetoPage = nullptr;
    PresetListPage *HomePage = nullptr;
    PresetListPage *SearchPage = nullptr;
    PresetListPage *OpenWithPage = nullptr;
    ListView *lstQCopyPaths = nullptr;
    ListView *lstQMove = nullptr;
    ListView *lstSaveto = nullptr;
    ListView *lstHome = nullptr;
    ListView *lstSearch = nullptr;
    ListView *lstOpenWith = nullptr;

    void TreeSet();
    void LoadValues();
    void ApplyChanges();

    // Shows page N alone (0 to 16); a number without a slot shows none.
    void showPage(int page);
    // Opening on a page: marks node "kN" selected and shows page N.
    void openOnPage(int page);
    // The page shown now, -1 when none is.
    int shownPage() const;
    // Shows the dialog modally over the owner; returns once it is hidden or unloaded.
    void showModal(QWidget *owner);

    void trwOptions_NodeClick(const TreeNode &Node);
    void cmdNav_Click(int Index);
    void cmdRestore_Click();
    void chkFiletypesAll_Click();
    void chkFiletypesNo_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createWindow();
    QWidget *createFileTypesPage();
    QWidget *createFilePage();
    QWidget *createPagePage();
    QWidget *createListPage(int page);
    // Captions of check boxes that the page's fixed size would cut off go onto two lines.
    static void wrapCutCaptions(QWidget *page, const QSize &size);
    void setFileTypesEnabled(bool enabled);
    void Form_Load();
};
