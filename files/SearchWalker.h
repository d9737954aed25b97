#pragma once

#include "files/FileSearch.h"
#include "platform/files/WalkFolder.h"
#include "platform/files/WildcardPattern.h"

#include <QSet>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

// The path of an entry of a walked folder.
QString childPath(const QString &folder, const QString &name);

// One step of a search's walk, in the order of a walk on one thread.
struct WalkStep
{
    enum Kind {
        Start, // a start folder is taken up
        Turn,  // a folder turns to its next sub-folder
        Files, // a folder's own files, after all of its sub-folders
    };
    Kind kind = Start;
    int depth = 0; // of the folder: 0 for a start folder
    QString path;  // the folder
    bool unavailable = false; // Start: the folder cannot be walked
    // Files: the names matching the pattern, in listing order, and the folder they
    // are opened through (held only while names wait for their reading).
    std::vector<QString> names;
    std::shared_ptr<const WalkFolder> folder;
};

// The walk through the start folders, step by step: a folder's sub-folders from the
// last of its listing (sorted by name) to the first, each completely, then the
// folder's own files. It never follows a link, never enters a folder twice, crosses
// onto another mount only where the table says that mount holds files, and holds at
// most OpenFolders folders open below the start folder however deep the tree: a folder
// closed on the way down is opened again on the way back, and walked on only when it
// is the same folder.
class SearchWalker
{
public:
    static constexpr int OpenFolders = 8;

    SearchWalker(const SearchRequest &request, const std::atomic<bool> &running);

    // The next step; false when the walk has ended. Found stopped at a turn, the walk
    // goes no deeper: the folders it is in give their files, innermost first, and no
    // further start folder is taken up.
    bool next(WalkStep &step);
    // Ends the walk at once: no further step.
    void end() { m_ended = true; }
    // Folders met that could not be read: opened or listed in vain, or lost from the
    // walk when it could not find them again. Not those passed over on purpose (other
    // disks, links, a folder met twice) nor one removed meanwhile.
    int unreadable() const { return m_unreadable; }

private:
    struct Frame
    {
        QString path;
        QString name; // in the folder above; empty for a start folder
        WalkFolder folder;
        std::vector<QString> folders; // sorted by name
        size_t remaining = 0;         // sub-folders not yet turned to
        bool turned = false;          // the turn to folders[remaining - 1] was given
        std::vector<QString> files;
    };

    bool takeStart(WalkStep &step);
    // Lists an open folder onto the stack; false when it was entered before.
    bool push(WalkFolder folder, const QString &path, const QString &name);
    void openSubFolder(Frame &frame);
    // Opens again the closed folder of the stack at index, whose sub-folder above it
    // on the stack is open.
    void reopen(size_t index);
    void reopenDown(size_t index);
    void giveFiles(WalkStep &step);
    bool mayCross(const WalkFolder &sub);

    const QList<SearchStart> m_starts;
    VolumeTable m_volumes;
    const std::function<VolumeTable()> m_readVolumes;
    QSet<quint64> m_mountsMet;
    const WildcardPattern m_names;
    const std::atomic<bool> &m_running;
    qsizetype m_nextStart = 0;
    bool m_ownVolume = false;
    bool m_unwinding = false;
    bool m_ended = false;
    std::atomic<int> m_unreadable{0};
    std::vector<Frame> m_stack;
    QSet<QPair<quint64, quint64>> m_seen;
};
