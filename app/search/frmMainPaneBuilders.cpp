#include "app/frmMain.h"

#include "core/ErrorLog.h"
#include "core/FileSettings.h"
#include "core/SharedState.h"
#include "files/FolderTreeModel.h"
#include "files/SearchPlaces.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ImageList.h"
#include "platform/system/ErrorState.h"

// Each pane is built on its first showing; the panes' own work fills these in.

void frmMain::initSearchForFiles()
{
    IgnoreErrors ignore;
    const SharedState &s = shared();
    const SearchPlaces::Folders folders{s.DesktopDir, s.PersonalDir, FileSettings::findPath()};
    const auto volumeText = [](const Volume &volume) {
        return FolderTree::volumeText(volume.kind, volume.label, volume.device, volume.mountPath);
    };
    const auto hasImage = [this](const QString &key) { return imlNIcons && imlNIcons->contains(key); };
    for (const SearchPlaces::Item &item : SearchPlaces::items(folders, searchVolumes(), volumeText, hasImage))
        ignore([&] { comWhere->addItem(item.key, item.text, item.image, item.indentation); });
    for (const SearchPlaces::Item &item : SearchPlaces::typeItems())
        ignore([&] { comWhat->addItem(item.key, item.text, item.image, item.indentation); });
    ignore([this] { comWhat->select(1); });
    ignore([this] { comWhere->select(QStringLiteral("documents")); });
    shared().SearchPaneReady = true;
    if (ErrorState::isSet())
        LogError(QStringLiteral("initSearchForFiles"));
}
