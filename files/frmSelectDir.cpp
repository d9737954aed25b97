#include "files/frmSelectDir.h"

#include "core/FileSettings.h"
#include "core/FilesHost.h"
#include "core/PathServices.h"
#include "core/RegistryServices.h"
#include "core/SharedState.h"
#include "files/CheckedFileOps.h"
#include "files/ChooseFolderTree.h"
#include "files/DeletedStore.h"
#include "files/FileEvents.h"
#include "files/SelectDirRules.h"
#include "platform/controls/DialogButtons.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/TreeView.h"
#include "platform/files/FileNames.h"
#include "platform/store/RegistryKeys.h"
#include "platform/system/ErrorState.h"
#include "platform/system/Units.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

FolderTreeLoader::VolumeSource &volumeSource()
{
    static FolderTreeLoader::VolumeSource source;
    return source;
}

// Positions in twips, as the window was laid out.
QRect twips(int left, int top, int width, int height)
{
    using Units::TwipsPerPixel;
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

QString withoutTrailingSlash(QString path)
{
    if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

frmSelectDir::frmSelectDir()
{
    setObjectName(QStringLiteral("frmSelectDir"));
    createWindow();
    Form_Load();
}

frmSelectDir::~frmSelectDir() = default;

void frmSelectDir::setVolumeSource(FolderTreeLoader::VolumeSource volumes)
{
    volumeSource() = std::move(volumes);
}

void frmSelectDir::createWindow()
{
    setWindowTitle(QStringLiteral("Vybrat cestu"));
    setFixedSize(twips(0, 0, 5175, 6360).size());

    fraTitle = new QFrame(this);
    fraTitle->setObjectName(QStringLiteral("fraTitle"));
    fraTitle->setGeometry(twips(120, 60, 4935, 600));
    lblPathS = new QLabel(fraTitle);
    lblPathS->setObjectName(QStringLiteral("lblPathS"));
    lblPathS->setGeometry(0, 0, fraTitle->width(), 20);
    lblPath = new QLabel(QStringLiteral("&Vyberte cestu:"), fraTitle);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblPath->setGeometry(0, 20, fraTitle->width(), 20);

    const auto treeFrame = [this](const char *name) {
        auto *frame = new QFrame(this);
        frame->setObjectName(QString::fromLatin1(name));
        frame->setGeometry(twips(120, 720, 4935, 4695));
        return frame;
    };
    fraCopyMove = treeFrame("fraCopyMove");
    trwPath = new TreeView(fraCopyMove);
    trwPath->setObjectName(QStringLiteral("trwPath"));
    trwPath->setGeometry(0, 0, fraCopyMove->width(), fraCopyMove->height() - 52);
    chkNewName = new QCheckBox(QStringLiteral("&Nové jméno:"), fraCopyMove);
    chkNewName->setObjectName(QStringLiteral("chkNewName"));
    chkNewName->setGeometry(0, fraCopyMove->height() - 48, fraCopyMove->width(), 22);
    txtName = new QLineEdit(fraCopyMove);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setGeometry(0, fraCopyMove->height() - 24, fraCopyMove->width(), 24);
    fraSelectDir = treeFrame("fraSelectDir");
    trwPathSel = new TreeView(fraSelectDir);
    trwPathSel->setObjectName(QStringLiteral("trwPathSel"));
    trwPathSel->setGeometry(0, 0, fraSelectDir->width(), fraSelectDir->height());
    lblName = new QLabel(this);
    lblName->setObjectName(QStringLiteral("lblName"));
    lblName->hide();

    const auto button = [this](int index, const char *caption, int left) {
        auto *push = new QPushButton(QString::fromUtf8(caption), this);
        push->setObjectName(QStringLiteral("cmdNav%1").arg(index));
        push->setGeometry(twips(left, 5760, 1095, 375));
        // Enter belongs to the tree and the name box, never to a default button.
        push->setAutoDefault(false);
        push->setDefault(false);
        connect(push, &QPushButton::clicked, this, [this, index] { cmdNav_Click(index); });
        cmdNav[size_t(index)] = push;
    };
    button(0, "&Nová složka", 120);
    button(6, "&Storno", 2860);
    button(7, "&OK", 3960);
    cmdNav[0]->setEnabled(false);
    enterPressesFocusedButton(this);
    setTabOrder(trwPath, chkNewName);
    setTabOrder(chkNewName, txtName);
    setTabOrder(txtName, cmdNav[7]);

    connect(chkNewName, &QCheckBox::clicked, this, &frmSelectDir::chkNewName_Click);
    connect(txtName, &QLineEdit::returnPressed, this, [this] { txtName_KeyDown(Qt::Key_Return); });

    ImageList *images = FilesHost::current() ? FilesHost::current()->treeImages() : nullptr;
    trwPath->setImageList(images);
    trwPathSel->setImageList(images);
    m_copyMoveTree = new ChooseFolderTree(*trwPath, ChooseFolderTree::Purpose::CopyMove, volumeSource());
    m_chooseTree = new ChooseFolderTree(*trwPathSel, ChooseFolderTree::Purpose::Choose, volumeSource());
    m_copyMoveTree->setParent(this);
    m_chooseTree->setParent(this);
    connect(m_copyMoveTree, &ChooseFolderTree::folderChosen, this, &frmSelectDir::setChosenFolder);
    connect(m_chooseTree, &ChooseFolderTree::folderChosen, this, &frmSelectDir::setChosenFolder);
}

void frmSelectDir::Form_Load()
{
    IgnoreErrors ignore;
    const SharedState &s = shared();
    ignore([] {
        if (FilesHost *host = FilesHost::current())
            host->applyOptions();
    });
    ignore([this] { LoadFileTree(); });
    ignore([this] { LoadFileTreeSel(); });
    const bool choosing = s.SelectDirMode == 6;
    fraSelectDir->setVisible(choosing);
    fraCopyMove->setVisible(!choosing);
    ignore([&] {
        QString source = s.SelectDirSource;
        txtName->setText(shownFileName(GetFileName(source)));
    });
    txtName->setEnabled(false);
    const QString personal = withoutTrailingSlash(s.PersonalDir);
    // The preselected folder counts as the trees' last clicked node.
    m_copyMoveTree->preselect(personal);
    m_chooseTree->preselect(personal);
    lblPath->setText(personal);
    (choosing ? trwPathSel : trwPath)->setFocus();
}

static ChooseFolderTree::Roots selectDirRoots()
{
    const SharedState &s = shared();
    ChooseFolderTree::Roots roots;
    roots.desktop = withoutTrailingSlash(s.DesktopDir);
    roots.personal = withoutTrailingSlash(s.PersonalDir);
    roots.cache = RegGetString(HKEY_CURRENT_USER, RegKeys::ShellFolders, QStringLiteral("Cache"), QString());
    roots.store = s.AppFolder + QStringLiteral("deleted");
    runIgnoringErrors([&] { roots.showStore = DeletedStore::counterFromText(FileSettings::CountDelFiles.text()) > 0; });
    return roots;
}

void frmSelectDir::LoadFileTree()
{
    m_copyMoveTree->loadRoots(selectDirRoots());
}

void frmSelectDir::LoadFileTreeSel()
{
    m_chooseTree->loadRoots(selectDirRoots());
}

void frmSelectDir::LoadDirs(const QString &path)
{
    m_copyMoveTree->loadDirs(path);
}

void frmSelectDir::LoadDirsSel(const QString &path)
{
    m_chooseTree->loadDirs(path);
}

void frmSelectDir::setChosenFolder(const QString &folder)
{
    lblPath->setText(folder);
    lblPath->setToolTip(folder);
}

void frmSelectDir::cmdNav_Click(int Index)
{
    if (Index == 6) {
        Forms::unload<frmSelectDir>();
        return;
    }
    if (Index != 7)
        return;
    const SharedState &s = shared();
    TargetPath = SelectDirRules::targetPath(lblPath->text(), chkNewName->isChecked(), typedFileName(txtName->text()), s.SelectDirSource);
    CallFunction();
}

void frmSelectDir::CallFunction()
{
    const SharedState &s = shared();
    const int mode = s.SelectDirMode;
    if (mode == 0 || mode == 1) {
        const FileOpResult result = mode == 0 ? CopyFileChecked(s.SelectDirSource, TargetPath)
                                              : MoveFileChecked(s.SelectDirSource, TargetPath);
        ShowFileOpMessage(result, TargetPath, this);
        if (result.code == FileOpCode::TargetExists)
            offerNewName();
        if (SelectDirRules::staysOpen(mode, result.code))
            return;
    } else if (mode == 6) {
        runIgnoringErrors([&] { SelectDirRules::storeChosenFolder(s.SelectDirKey, lblPath->text()); });
    }
    Forms::unload<frmSelectDir>();
}

void frmSelectDir::offerNewName()
{
    chkNewName->setChecked(true);
    chkNewName_Click();
    txtName->setEnabled(true);
    txtName->setFocus();
    txtName->selectAll();
}

void frmSelectDir::chkNewName_Click()
{
    txtName->setEnabled(chkNewName->isChecked());
}

void frmSelectDir::txtName_KeyDown(int KeyCode)
{
    if (KeyCode == Qt::Key_Return || KeyCode == Qt::Key_Enter)
        cmdNav_Click(7);
}

void frmSelectDir::showModal(QWidget *owner)
{
    if (DialogLoops::ending()) {
        Forms::unload<frmSelectDir>();
        return;
    }
    if (owner && parentWidget() != owner)
        setParent(owner, windowFlags());
    setModal(true);
    exec();
}

void frmSelectDir::reject()
{
    cmdNav_Click(6);
}

void frmSelectDir::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    // The close box unloads the dialog as Cancel does.
    if (Forms::slot<frmSelectDir>() == this) {
        Forms::slot<frmSelectDir>().clear();
        deleteLater();
    }
    QDialog::closeEvent(event);
}

void frmSelectDir::Form_Unload()
{
    hide();
    emit FileEvents::instance().dialogClosed();
}
