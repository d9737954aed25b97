#pragma once

#include <QByteArray>
#include <QString>

// A small journal in the program's data folder of the steps of the file layer that a
// crash could leave half done in a user's folder: a target name reserved by an empty
// file of the program's own, and a file renamed to a temporary name on its way to a
// name that differs only in letter case. Each step writes its record before it starts
// and removes it once done; the next start finishes or undoes what records of runs no
// longer running describe.
namespace FileJournal {

// The folder the records go to (made 0700 when missing); "" keeps no journal. Set
// once at start, before any change to a user's files.
void setFolder(const QString &folder);
QString folder();

// A record held for as long as the object lives; removed by its destructor.
class Record
{
public:
    Record() = default;
    ~Record();
    Record(const Record &) = delete;
    Record &operator=(const Record &) = delete;

    // An empty file of ours reserving name in the opened folder, with its inode.
    void reservation(int folderFd, const QByteArray &name, quint64 inode);
    // A file that left oldName of the opened folder for temporary, on its way to newName.
    void caseRename(int folderFd, const QByteArray &temporary, const QByteArray &oldName, const QByteArray &newName);
    void remove();

private:
    void write(const QByteArray &text);

    QByteArray m_name;
};

// Acts on the records of runs that no longer run: an empty reservation still the
// file recorded is removed; a file left under its temporary name gets its old name
// back (or, where that is taken meanwhile, the new one). Then the records go. Records
// of a copy of the program that still runs are left alone. Returns how many records
// were acted on.
int recover();

} // namespace FileJournal
