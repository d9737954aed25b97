// Page saving: into the preset folders as the program's own HTML file, with Save As,
// and in the background from a fresh copy of the page.
#include "app/frmMain.h"

#include "app/saving/PageSaveAs.h"
#include "app/ToolbarRules.h"
#include "app/frmS.h"
#include "browser/AddressText.h"
#include "browser/SavedPage.h"
#include "browser/frmWeb.h"
#include "core/DateTimeText.h"
#include "core/ErrorLog.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "files/CheckedFileOps.h"
#include "files/frmTextLine.h"
#include "options/frmOptions.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/engine/BrowserControl.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTimer>

namespace {

QString presetItemName(int n)
{
    return n == 1 ? QStringLiteral("mnuPageSaveD") : QStringLiteral("mnuPageSave%1").arg(n);
}

} // namespace

void frmMain::connectSaving()
{
    connect(menu(QStringLiteral("mnuPage")), &QMenu::aboutToShow, this, &frmMain::mnuPage_Click);
    connect(menuItem(QStringLiteral("mnuPageSaveD")), &QAction::triggered, this, &frmMain::mnuPageSaveD_Click);
    for (int n = 2; n <= 5; ++n)
        connect(menuItem(presetItemName(n)), &QAction::triggered, this, [this, n] { mnuPageSave_Click(n); });
    connect(menuItem(QStringLiteral("mnuPageSaveHTML")), &QAction::triggered, this, &frmMain::mnuPageSaveHTML_Click);
    connect(menuItem(QStringLiteral("mnuPageSaveBack")), &QAction::triggered, this, &frmMain::mnuPageSaveBack_Click);
}

void frmMain::mnuPage_Click()
{
    IgnoreErrors ignore;
    for (int n = 1; n <= 5; ++n) {
        ignore([&] {
            const PagePresetItem preset = readPagePresetItem(n);
            QAction *item = menuItem(presetItemName(n));
            item->setText(preset.caption);
            item->setData(preset.folder); // the item's Tag
            item->setEnabled(preset.enabled);
        });
    }
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuPage_Click"));
}

void frmMain::mnuPageSaveD_Click()
{
    runIgnoringErrors([this] { savePageToPreset(1, QStringLiteral("mnuPageSaveD_Click")); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuPageSaveD_Click"));
}

void frmMain::mnuPageSave_Click(int Index)
{
    runIgnoringErrors([this, Index] { savePageToPreset(Index, QStringLiteral("mnuPageSave_Click")); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuPageSave_Click"), Index);
}

void frmMain::SavePageToPreset(int n)
{
    savePageToPreset(n, QString());
}

void frmMain::savePageToPreset(int n, const QString &logAs)
{
    if (shared().WindowCount < 1)
        return;
    const BrowserControl *web = requireActiveForm()->Web;
    const QString name = ToolbarRules::savedPageFileName(web->LocationName(), web->LocationName());
    const QString folder = GetSetting(PresetSections::Save, QString::number(n));
    // An empty folder would put the page into the root of the file system.
    const std::optional<QString> path = presetTargetPath(folder, name);
    if (!path) {
        ShowFileOpMessage({FileOpCode::TargetFolderMissing, 0}, folder, this);
        return;
    }
    savePageAsHtml(*path, logAs);
}

void frmMain::SavePageAsHtml(const QString &path)
{
    savePageAsHtml(path, QString());
}

void frmMain::savePageAsHtml(const QString &path, const QString &logAs)
{
    BrowserControl *web = requireActiveForm()->Web;
    // The address as the combo shows it for this page, whatever is being typed there.
    const QString address = ExtractResFile(web->LocationURL());
    const QPointer<frmMain> self(this);
    web->runScript(pageSnapshotScript(), [self, address, path, logAs](const QVariant &result) {
        const PageSnapshot page = pageSnapshotFromResult(result.toString());
        // Messages and dialogs wait for the next turn: the engine is still in its call.
        QTimer::singleShot(0, self, [self, page, address, path, logAs] {
            if (self)
                self->writeSavedPage(page, address, path, logAs);
        });
    }, ScriptWorld::Application);
}

void frmMain::writeSavedPage(const PageSnapshot &page, const QString &address, const QString &path,
                             const QString &logAs)
{
    if (!page.read || !isSavableContentType(page.contentType)) {
        // Not an HTML document (an image, a text file) or gone: nothing is written.
        if (!logAs.isEmpty()) {
            ErrorState::set(RuntimeError(ErrorNumber::TypeMismatch));
            LogError(logAs, page.contentType);
        }
        return;
    }
    const QString text = SavedPageHtml(dateTimeText(QDateTime::currentDateTime()), address, page);
    const FileOpResult result = WriteTextFile(text, path);
    ShowFileOpMessage(result, path, this);
    if (result.code == FileOpCode::TargetExists)
        askAnotherPageName(path);
}

void frmMain::askAnotherPageName(const QString &path)
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    s.DialogPath = path;
    s.DialogOperation = 5;
    frmTextLine *dialog = nullptr;
    ignore([&] { dialog = Forms::get<frmTextLine>(); });
    if (!dialog)
        return;
    ignore([&] {
        QString name = path;
        dialog->hide();
        dialog->setWindowTitle(FileOpMessage({FileOpCode::TargetExists, 0}, path));
        dialog->txtText->setText(GetFileName(name));
        dialog->lblLabel->setText(QStringLiteral("Zvolte jiné jméno."));
    });
    // OK hands the typed name to SavePageAsHtml, which writes on a later turn: a name
    // taken again shows this dialog afresh, never inside its own showing.
    ignore([&] { dialog->showModal(this); });
    Forms::unload<frmTextLine>();
    ErrorState::clear();
}

void frmMain::mnuPageSaveHTML_Click()
{
    IgnoreErrors ignore;
    ignore([this] {
        BrowserControl *web = requireActiveForm()->Web;
        const QString target = PageSaveAs::askTarget(web->LocationName());
        if (!target.isEmpty())
            PageSaveAs::save(web, target);
    });
    ErrorState::clear();
}

void frmMain::mnuPageSaveBack_Click()
{
    SavePageInBackground();
}

void frmMain::SavePageInBackground()
{
    IgnoreErrors ignore;
    ignore([this] {
        const QString address = requireActiveForm()->Web->LocationURL();
        auto *window = new frmS;
        window->start(address);
    });
    ErrorState::clear();
}

// Page 0 shows the dialog on whatever page it showed last.
void frmMain::ShowOptionsPage(int page)
{
    if (DialogLoops::ending())
        return;
    frmOptions *options = Forms::get<frmOptions>();
    if (page > 0)
        options->openOnPage(page);
    options->showModal(this);
}
