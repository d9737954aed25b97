#include "options/OptionValues.h"
#include "options/PresetListPage.h"
#include "options/frmOptions.h"

#include "core/OptionsSettings.h"
#include "core/RegistryServices.h"
#include "core/SharedState.h"
#include "platform/store/RegistryKeys.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"

#include <QCheckBox>
#include <QLineEdit>

#include <array>

using namespace OptionValues;

namespace {

const QString kUsersMain = QStringLiteral(".DEFAULT\\") + RegKeys::ExplorerMain;

QString browserValue(const QString &name)
{
    return RegGetString(HKEY_CURRENT_USER, RegKeys::ExplorerMain, name, QString());
}

void setBrowserValue(const QString &name, const QString &text)
{
    RegSetString(HKEY_CURRENT_USER, RegKeys::ExplorerMain, name, text);
}

// "0" unticks, "1" ticks, anything else leaves the box as it is.
void setFromFlag(QCheckBox *box, const QString &text)
{
    if (text == QStringLiteral("0"))
        box->setChecked(false);
    else if (text == QStringLiteral("1"))
        box->setChecked(true);
}

QString flagText(const QCheckBox *box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

// The preset lists in the order they are read and written.
std::array<PresetListPage *, 6> presetPages(const frmOptions &form)
{
    return {{form.QMovePage, form.QCopyPage, form.SavetoPage, form.SearchPage, form.HomePage, form.OpenWithPage}};
}

} // namespace

void frmOptions::LoadValues()
{
    IgnoreErrors ignore;
    const struct
    {
        QLineEdit *edit;
        const char *name;
    } pages[] = {{txtBlankPage, "Local Page"}, {txtHomePage, "Start Page"}, {txtSearchPage, "Search Page"}};
    for (const auto &page : pages)
        ignore([&] { page.edit->setText(browserValue(QString::fromLatin1(page.name))); });

    const struct
    {
        QCheckBox *box;
        const char *name;
    } switches[] = {{chkDisableScriptDebugger, "Disable Script Debugger"},
                    {chkDisplayImages, "Display Inline Images"},
                    {chkDisplayVideos, "Display Inline Videos"},
                    {chkPlayAnimations, "Play_Animations"},
                    {chkPlaySounds, "Play_Background_Sounds"}};
    for (const auto &line : switches)
        ignore([&] { line.box->setChecked(ConvertToBoolean(browserValue(QString::fromLatin1(line.name))) != 0); });

    // Each box shows whether its group is stored, so that Cancel really discards a
    // tick; "*.*" and "zqx.zqx" tick their own boxes, whose handlers set the enabling.
    ignore([this] {
        const QString pattern = OptionsSettings::Pattern.text();
        for (int i = 1; i <= FileTypeCount; ++i)
            chkFiletypes[size_t(i)]->setChecked(patternHasGroup(pattern, fileTypeTag(i)));
        chkFiletypesAll->setChecked(pattern == AllFiles);
        chkFiletypesNo->setChecked(pattern == NoFiles);
    });

    for (PresetListPage *page : presetPages(*this))
        ignore([&] { page->load(); });

    ignore([this] { setFromFlag(chkDirs, OptionsSettings::NavDirs.text()); });
    ignore([this] { setFromFlag(chkDrives, OptionsSettings::NavDrives.text()); });
    ignore([this] { setFromFlag(chkFiles, OptionsSettings::NavFiles.text()); });
    ignore([this] { txtUserFiletype->setText(OptionsSettings::UserFileTypes.text()); });
    ignore([this] { setFromFlag(chkFiletypesCust, OptionsSettings::UseUserFT.text()); });
}

void frmOptions::ApplyChanges()
{
    IgnoreErrors ignore;
    ignore([this] { setBrowserValue(QStringLiteral("Local Page"), ChangeBlank(txtBlankPage->text())); });
    ignore([this] { setBrowserValue(QStringLiteral("Start Page"), ChangeBlank(txtHomePage->text())); });
    ignore([this] { setBrowserValue(QStringLiteral("Search Page"), ChangeBlank(txtSearchPage->text())); });

    ignore([this] {
        setBrowserValue(QStringLiteral("Disable Script Debugger"), switchText(chkDisableScriptDebugger->isChecked()));
    });
    ignore([this] {
        const QString images = switchText(chkDisplayImages->isChecked());
        setBrowserValue(RegValueNames::DisplayInlineImages, images);
        RegSetString(HKEY_USERS, kUsersMain, RegValueNames::DisplayInlineImages, images);
    });
    ignore([this] { setBrowserValue(QStringLiteral("Display Inline Videos"), switchText(chkDisplayVideos->isChecked())); });
    ignore([this] { setBrowserValue(QStringLiteral("Play_Animations"), switchText(chkPlayAnimations->isChecked())); });
    ignore([this] { setBrowserValue(QStringLiteral("Play_Background_Sounds"), switchText(chkPlaySounds->isChecked())); });

    // The settings go to disk in one write at the end, not one per key.
    SettingsStore &store = SettingsStore::instance();
    store.beginBatch();
    ignore([this, &ignore] {
        PatternChoice choice;
        for (int i = 1; i <= FileTypeCount; ++i)
            choice.types[size_t(i)] = chkFiletypes[size_t(i)]->isChecked();
        choice.custom = chkFiletypesCust->isChecked();
        choice.userTypes = txtUserFiletype->text();
        choice.all = chkFiletypesAll->isChecked();
        choice.none = chkFiletypesNo->isChecked();
        const QString pattern = buildPattern(choice);
        ignore([&] { OptionsSettings::Pattern.save(pattern); });
        shared().FilesPattern = filesListPattern(pattern);
    });

    for (PresetListPage *page : presetPages(*this))
        ignore([&] { page->store(); });

    SharedState &s = shared();
    ignore([&] {
        OptionsSettings::NavDrives.save(flagText(chkDrives));
        s.NavDrives = chkDrives->isChecked();
    });
    ignore([&] {
        OptionsSettings::NavDirs.save(flagText(chkDirs));
        s.NavDirs = chkDirs->isChecked();
    });
    ignore([&] {
        OptionsSettings::NavFiles.save(flagText(chkFiles));
        s.NavFiles = chkFiles->isChecked();
    });
    ignore([this] { OptionsSettings::UserFileTypes.save(txtUserFiletype->text()); });
    ignore([this] { OptionsSettings::UseUserFT.save(flagText(chkFiletypesCust)); });
    ignore([&store] { store.endBatch(); });
}
