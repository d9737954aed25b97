#pragma once

#include <QString>

// The program-wide state that start-up computes and the windows share. One
// instance, reachable from everywhere, and resettable so that tests start clean.
struct SharedState
{
    // Folders read or computed at start-up; the program folder ends with "/".
    QString AppFolder;
    QString AppDir;
    QString DesktopDir;
    QString PersonalDir;
    QString FavoritesDir;
    QString WindowsDir;
    QString SystemDir;

    // The text after the program's name on its command line.
    QString CommandLine;

    bool NotWarnQCopy = false;
    bool NotWarnQMove = false;

    int WindowCount = 0;
    bool MainFormLoaded = false;

    // Behaviour flags of the panes and the browser.
    bool NavOnSelect = false;
    bool NavFiles = false;
    bool NavDirs = false;
    bool NavDrives = false;
    bool AdjustImg = true;

    // The folder tree's selection (see files/FolderTreeClick.h): the mouse button held
    // on the tree (1 left, 2 right, 4 middle; 0 while none is), the selection-acts flag
    // as it was before that press, the Shift toggle's latch, and the node selected last.
    int TreeMouseButton = 0;
    bool SavedNavOnSelect = false;
    bool ShiftLatch = false;
    QString LastNodeKey;
    QString LastNodeTag;
    // The pattern the folder tree lists a folder's files by: ";"-separated wildcards,
    // "zqx.zqx" for none. The options dialog sets it when it applies its values.
    QString FilesPattern = QStringLiteral("zqx.zqx");

    // First-show flags of the panes.
    bool FileTreeLoaded = false;
    bool FavoritesLoaded = false;
    bool SearchPaneReady = false;

    // Hand-over values of the one-line dialog.
    int DialogOperation = 0;
    QString DialogPath;
    QString DialogSourcePath;

    // Hand-over values of the choose-folder dialog: 0 copy the source, 1 move it, 6
    // store the chosen folder under the key ("Section\Key"); set before it loads.
    int SelectDirMode = 0;
    QString SelectDirSource;
    QString SelectDirKey;

    // Result of the last save-file dialog.
    bool SaveDialogCancelled = false;
};

SharedState &shared();
void resetSharedState();
