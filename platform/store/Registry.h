#pragma once

#include "platform/store/AtomicFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class RegistryTree;
template<class T>
class Singleton;

// An emulated registry: one per-user file in REGEDIT4 syntax
// ($XDG_DATA_HOME/Vorlan/windows/registry.reg), so that one parser serves both the
// storage and the import of .reg files. Key and value names compare without regard
// to case. Writes replace the file atomically; a change made by another process is
// picked up at the next read.
enum class RegRoot { CurrentUser, LocalMachine, Users };

namespace RegType {
constexpr int String = 1;       // REG_SZ
constexpr int ExpandString = 2; // REG_EXPAND_SZ
constexpr int Binary = 3;       // REG_BINARY
constexpr int Dword = 4;        // REG_DWORD
} // namespace RegType

struct RegValue
{
    int type = RegType::String;
    QByteArray data; // as the system keeps it: strings UTF-8 with their NUL, DWORDs 4 bytes little-endian
};

class Registry
{
public:
    static Registry &instance();
    static void resetInstance();
    ~Registry();

    // Larger files are taken for damaged: a real one holds a few hundred values.
    static constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

    QString filePath() const;

    // When there is no file yet, the shell folders and the browser's pages and
    // switches are seeded; a file that lacks some of them gets them back. A file that
    // cannot be read or is no registry script is moved aside (never overwritten) and
    // the registry starts again from the seeds; when it cannot even be moved, the
    // seeds serve the run and every write is refused.
    bool keyExists(RegRoot root, const QString &subKey) const;
    std::optional<RegValue> value(RegRoot root, const QString &subKey, const QString &name) const;
    QStringList valueNames(RegRoot root, const QString &subKey) const;
    // Creates the key as needed; raises when the file cannot be written (the file and
    // the values stay as they were), or "Invalid procedure call" for a name holding a
    // line break or NUL, which a line-based file cannot keep.
    void setValue(RegRoot root, const QString &subKey, const QString &name, const RegValue &value);
    void createKey(RegRoot root, const QString &subKey);

    // Merges a REGEDIT4 (or "Windows Registry Editor Version 5.00") file; raises on an
    // unreadable file, or "Invalid procedure call" saying why for one without the
    // header or beyond the limits of size, line length and depth.
    void importFile(const QString &path);

    // The file that was found unusable and set aside, once: whoever tells the user takes it.
    std::optional<FileProblem> takeUnusableFile();
    // The file whose last write failed, and why; nothing once a write succeeded again.
    std::optional<FileProblem> unsavedChanges() const;

private:
    friend class Singleton<Registry>;
    Registry();
    // The tree as the file now holds it: re-read when the file changed, seeded when
    // there is no file yet.
    const RegistryTree &current() const;
    void load() const;
    void seed() const;
    // Starts again from the seeds after the file turned out unusable.
    void setAside(const QString &reason) const;
    // Applies a change to a copy of the current tree and stores it; the tree in
    // memory changes only when the file was written.
    void change(const std::function<void(RegistryTree &)> &edit);
    // Stores a change already made to the tree in memory, which undo takes back when
    // the file cannot be written: a large registry is not copied for one value.
    void store(const std::function<void()> &undo);
    void write(const RegistryTree &tree) const;

    struct State;
    std::unique_ptr<State> m_state;
};
