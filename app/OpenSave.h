#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;

// What a save-file dialog is asked to show, and what it answered.
struct SaveDialogRequest
{
    QString title;
    QString fileName; // the proposed name
    QString initDir;
    QString defaultSuffix; // without "*" or "."
    QStringList nameFilters; // "Description (patterns)"
    int filterIndex = 1;     // 1-based
};

struct SaveDialogAnswer
{
    bool accepted = false;
    QString path;
    int filterIndex = 1; // 1-based, the filter selected last
};

// The save-file dialog: a caller sets the properties, calls ShowSave and reads the
// chosen path back; whether the user cancelled lands in shared().SaveDialogCancelled.
// The dialog is Qt's own file dialog; tests install a dialog of their own.
class OpenSave
{
public:
    using Dialog = std::function<SaveDialogAnswer(const SaveDialogRequest &)>;
    // Replaces the dialog for every instance; an empty function restores Qt's.
    static void setDialog(Dialog dialog);

    // The flag value ShowSave always passes: no read-only check box.
    static constexpr int HideReadOnly = 4;

    OpenSave();

    int FileExt() const { return m_fileExt; }
    void setFileExt(int value) { m_fileExt = value; }
    qint32 hWnd() const { return m_hWnd; }
    void sethWnd(qint32 value) { m_hWnd = value; }
    int MaxFileSize() const { return m_maxFileSize; }
    void setMaxFileSize(int value) { m_maxFileSize = value; }
    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString &value) { m_initDir = value; }
    qint32 Flags() const { return m_flags; }
    void setFlags(qint32 value) { m_flags = value; }
    // Written as "description|pattern|..." and stored NUL-separated, ending in two NULs.
    QString Filter() const;
    void setFilter(const QString &value);
    QString storedFilter() const { return m_filter; }
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int value) { m_filterIndex = value; }
    QString FileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString &value) { m_fileTitle = value; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString &value) { m_fileName = value; }
    QString DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString &value) { m_dialogTitle = value; }
    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString &value) { m_defaultExt = value; }
    bool CancelError() const { return m_cancelError; }
    void setCancelError(bool value) { m_cancelError = value; }

    // Shows the dialog and waits for it. A proposed name longer than MaxFileSize + 1
    // characters raises "Invalid procedure call or argument" before anything shows.
    void ShowSave();

    // What the dialog is asked, from the properties.
    SaveDialogRequest request() const;

private:
    void takeAnswer(const SaveDialogAnswer &answer);

    int m_fileExt = 0;
    qint32 m_hWnd = 0;
    int m_maxFileSize = 260;
    QString m_initDir;
    qint32 m_flags = 0;
    QString m_filter;
    int m_filterIndex = 1;
    QString m_fileTitle;
    QString m_fileName;
    QString m_dialogTitle;
    QString m_defaultExt;
    bool m_cancelError = false;
};

// The filter list in QFileDialog's form: one "Description (patterns)" per pair, the
// patterns as the dialog matches them on this system.
QStringList nameFiltersFromFilter(const QString &filter);
// Sets up Qt's file dialog to ask what the request asks; the dialog shows each
// filter's description as written.
void prepareSaveDialog(QFileDialog &dialog, const SaveDialogRequest &request);
// Where the extension starts in a path (the character after the last "." of its file
// name), 0 when the file name has none.
int fileExtensionOffset(const QString &path);
