#pragma once

class ImageList;
class QString;
class QWidget;

// What the file manager's dialogs ask of the main window. What they do to it they
// report by the signals of FileEvents instead; the main window listens. The main
// window implements this and is the current host from its construction on.
class FilesHost
{
public:
    // The host now, or none while there is no main window.
    static FilesHost *current();

    // The window that owns the file manager's modal dialogs.
    virtual QWidget *dialogOwner() = 0;
    // The folder trees' images.
    virtual ImageList *treeImages() = 0;
    // Writes the options dialog's values to the stores: its pending edits while it is
    // showing, else the values the stores hold now.
    virtual void applyOptions() = 0;
    // Lets the user choose a folder, in the choose-folder dialog over the owner, and
    // stores it under the settings key ("Section\Key"); returns once the dialog has
    // closed. A host without that dialog chooses nothing.
    virtual void chooseFolder(const QString &settingKey, QWidget *owner);
    // Saves the active page into the file and reports the result; another name is
    // asked for when the file exists.
    virtual void SavePageAsHtml(const QString &path) = 0;

protected:
    FilesHost();
    ~FilesHost();
    FilesHost(const FilesHost &) = delete;
    FilesHost &operator=(const FilesHost &) = delete;
};
