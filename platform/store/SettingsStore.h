#pragma once

#include "platform/store/AtomicFile.h"
#include "platform/store/SettingsFileFormat.h"

#include <QElapsedTimer>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>
#include <vector>

template<class T>
class Singleton;

// The per-user store of the program's preferences: text values addressed by section
// and key under the application name "Vorlan", kept in an INI file under
// $XDG_CONFIG_HOME ($XDG_CONFIG_HOME/Vorlan/Vorlan.conf). A section name may contain
// "\" ("Options\QCopy"); each such name is a section of its own, so deleting
// "Options" leaves "Options\QCopy" in place. Section and key names compare without
// regard to case. Every write reaches the disk before it returns (or, inside a
// batch, when the batch ends), and a write that fails leaves both the file and the
// values in memory as they were. A write takes the file's lock ("Vorlan.conf.lock")
// and keeps what another instance wrote since this one read the file.
//
// Opening the store removes what interrupted saves left behind and sets a file
// aside (never overwriting anything) that is no regular file (a folder, a pipe, a
// device, or a link to one), cannot be read, is not text or is far larger than
// any real settings file; the store then starts empty. A lock that is no regular
// file is set aside too. Only a regular file is ever replaced by a save.
class SettingsStore
{
public:
    static constexpr qint64 MaxFileSize = 8 * 1024 * 1024;

    static SettingsStore &instance();
    static void resetInstance();
    ~SettingsStore();

    // The stored text, or the default converted to text (see settingText).
    QString get(const QString &section, const QString &key, const QVariant &defaultValue) const;
    // Stores the value converted to text; raises when the store cannot be written.
    void save(const QString &section, const QString &key, const QVariant &value);
    // Deletes a key, a whole section (empty key) or everything (empty section);
    // raises "Invalid procedure call or argument" when there is nothing to delete.
    void remove(const QString &section, const QString &key = {});
    bool contains(const QString &section, const QString &key) const;
    QString filePath() const;

    // Saves and deletions between these two reach the file in one write at the end.
    // endBatch raises when that write fails; every change of the batch is then undone.
    void beginBatch();
    void endBatch();

    // The file that was found unusable and set aside, once: whoever tells the user takes it.
    std::optional<FileProblem> takeUnusableFile();
    // The file whose last write failed, and why; nothing once a write succeeded again.
    std::optional<FileProblem> unsavedChanges() const;

private:
    friend class Singleton<SettingsStore>;
    // One key a change touched and its value before; none for a key that did not exist.
    struct Change
    {
        QString section;
        QString key;
        std::optional<QString> previous;
    };
    using Undo = std::vector<Change>;

    SettingsStore();
    void open();
    QString lockPath() const;
    // Returns false when a lock that is no regular file could not be moved aside.
    bool setAsideLockIfNotAFile();
    // Takes the file's lock, waiting at most a moment: removes a lock left behind
    // (its holder gone, unreadable, empty or from another machine, for a second)
    // and gives up, saying why, when another live instance here still holds it.
    // Returns the errno standing in the way; 0 once the lock is taken.
    int takeLock(QString &reason);
    std::optional<QString> stored(const QString &section, const QString &key) const;
    void put(const QString &section, const QString &key, const std::optional<QString> &value);
    // Writes the pending change to disk; when that fails, puts the old values back
    // in memory and raises, so memory and file keep agreeing.
    void commit(const Undo &undo);
    // Writes the pending change, or adds it to the batch.
    void changed(Undo undo);
    // Records and raises a failed write.
    [[noreturn]] void failed(int systemError, const QString &reason);

    QString m_path;
    SettingsFileFormat::Content m_content;
    FileStamp m_stamp; // of the file as last read or written
    bool m_batch = false;
    Undo m_batchUndo;
    std::optional<FileProblem> m_unusable;
    std::optional<FileProblem> m_unsaved;
    // An unusable file that could not be moved aside: nothing may replace it.
    std::optional<FileProblem> m_blockedBy;
    QElapsedTimer m_lockGivenUp;
};

QString GetSetting(const QString &section, const QString &key, const QVariant &defaultValue = QString());
void SaveSetting(const QString &section, const QString &key, const QVariant &value);
void DeleteSetting(const QString &section = {}, const QString &key = {});

// Conversions of stored texts. Booleans are "True"/"False"; reading accepts either in
// any letter case, or a number (0 is False). A text that does not convert raises a
// type mismatch, so the caller's target keeps its previous value.
QString settingText(const QVariant &value);
bool textToBool(const QString &text);
int textToInt(const QString &text);
double textToDouble(const QString &text);

// One stored preference: its section, its key and the default its readers pass
// (none: the empty text). Each area keeps its preferences in one table of these.
struct Setting
{
    QString section;
    QString key;
    QVariant defaultValue = QVariant();

    QString text() const;
    // Raise a type mismatch (or an overflow) for a text that does not convert.
    bool toBool() const;
    int toInt() const;
    void save(const QVariant &value) const;
};

// A numbered list kept in one section: entry n under the key "n", its display text
// under "Caption" followed by n.
struct PresetEntry
{
    int index = 0;
    QString value;
    QString caption;
};

class PresetList
{
public:
    // The size of each known list section; 0 for any other section.
    static int sizeOf(const QString &section);
    // Reads every entry 1..sizeOf(section); missing entries read as empty text.
    static std::vector<PresetEntry> read(const QString &section);
};

namespace PresetSections {
inline const QString QCopy = QStringLiteral("Options\\QCopy");
inline const QString QMove = QStringLiteral("Options\\QMove");
inline const QString Save = QStringLiteral("Options\\Save");
inline const QString OpenWith = QStringLiteral("Options\\OpenWith");
inline const QString Home = QStringLiteral("Options\\Home");
inline const QString Search = QStringLiteral("Options\\Search");
} // namespace PresetSections
