#pragma once

#include "files/FolderTreeLoader.h"

#include <QDialog>

#include <array>

class ChooseFolderTree;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TreeView;

// The modal dialog in which the user picks a folder: the target of a copy (mode 0)
// or a move (mode 1) of SelectDirSource, which it carries out itself, or a folder to
// store under SelectDirKey (mode 6). The hand-over values are read when it loads;
// every showing starts from a fresh load (Forms::get<frmSelectDir>()), and closing
// unloads it.
class frmSelectDir : public QDialog
{
    Q_OBJECT

public:
    frmSelectDir();
    ~frmSelectDir() override;

    QFrame *fraTitle = nullptr;
    QLabel *lblPathS = nullptr;
    QLabel *lblPath = nullptr;
    QFrame *fraCopyMove = nullptr;
    TreeView *trwPath = nullptr;
    QCheckBox *chkNewName = nullptr;
    QLineEdit *txtName = nullptr;
    QFrame *fraSelectDir = nullptr;
    TreeView *trwPathSel = nullptr;
    QLabel *lblName = nullptr;
    // Members 0 ("&Nová složka", no action), 6 ("&Storno") and 7 ("&OK").
    std::array<QPushButton *, 8> cmdNav{};

    // The full path OK builds and CallFunction acts on.
    QString TargetPath;

    void LoadFileTree();
    void LoadFileTreeSel();
    void LoadDirs(const QString &path);
    void LoadDirsSel(const QString &path);
    void CallFunction();
    void cmdNav_Click(int Index);
    void chkNewName_Click();
    void txtName_KeyDown(int KeyCode);

    // Shows the dialog modally over the owner; returns once it has closed. Nothing is
    // shown while the program is ending.
    void showModal(QWidget *owner);

    // The volumes the trees list (tests hand in their own; empty restores the system's).
    static void setVolumeSource(FolderTreeLoader::VolumeSource volumes);

    ChooseFolderTree *copyMoveTree() const { return m_copyMoveTree; }
    ChooseFolderTree *chooseTree() const { return m_chooseTree; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createWindow();
    void Form_Load();
    void Form_Unload();
    void setChosenFolder(const QString &folder);
    void offerNewName();

    ChooseFolderTree *m_copyMoveTree = nullptr;
    ChooseFolderTree *m_chooseTree = nullptr;
    bool m_unloaded = false;
};
