#pragma once

#include "platform/files/VolumeTable.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// One folder a search walks.
struct SearchStart
{
    QString path;
    // The walk keeps to the mount the folder is on: each volume of the machine is
    // walked on its own, never again through another one.
    bool ownVolume = false;
};

struct SearchRequest
{
    QList<SearchStart> starts;
    QString pattern; // ";"-separated wildcards
    QString text;    // empty: every file of the pattern
    // The mounts of the machine: a start folder, and a mount met below one, is walked
    // when its mount holds files; a pseudo file system, or a mount the table does not
    // hold, is not read.
    VolumeTable volumes;
    // Reads the mounts again. Mount numbers are reused: one freed mid-run may number
    // another mount by the time the walk meets it, so a number the run has not met yet
    // has the table read anew (on the run's thread). Empty: the table above stays.
    std::function<VolumeTable()> readVolumes;
};

// One found file, as the results list shows it.
struct SearchRow
{
    QString path;      // the row's key
    QString name;
    QString title;     // page files only
    bool page = false; // the file carries a title
    QString folder;
    QString dateText;
    QString sizeText;
    QString extension; // the image key the row asks for
};

// A file search on threads of its own: one walks, up to one per core reads and
// matches files, and one takes what they found in walk order, so that rows, the count
// and the folder shown come exactly as a walk on one thread would give them; on one
// core it is that walk. Every run gets a number; what it reports
// carries the number, so a receiver can tell a finished run's late rows from the
// current one's. The signals are sent on the thread the search belongs to: the runs leave
// their reports in a mailbox under a lock that both sides take, and the search's own
// thread takes them out and sends them, so nothing a run made is read without that lock. The walk is depth first: a folder's sub-folders from the last of its
// listing (sorted by name) to the first, each completely, then the folder's own files. Stopping clears
// the run's flag: the walk enters no further folder, while the folder whose loop finds
// the flag clear, and each folder above it, still has its files examined, except that
// no file's content is read after the stop (the file being read is left between two
// chunks; neither it nor those after it count as examined), so a stop ends a run at
// once, whatever the files' sizes.
class FileSearch : public QObject
{
    Q_OBJECT

public:
    explicit FileSearch(QObject *parent = nullptr);
    // Stops every walk and waits for it.
    ~FileSearch() override;

    // Starts a run and returns its number. A run still going is stopped and examines
    // nothing more.
    quint64 start(const SearchRequest &request);
    // Stops the current run as described above.
    void stop();

    // The folder whose sub-folders the current run is walking, as a walk on one thread
    // would be at it now (the walk itself may be further ahead); empty before the
    // first. Taking it lets the next change be reported again.
    QString folderWalked();

    // Called on the run's thread as the walk turns to each sub-folder of a folder
    // (with that folder's path, reported as walked before the call) and as it takes up
    // each file (with the file's), in walk order: lets a test act at a known point of
    // a walk.
    enum class Step { Folder, File };
    using StepHook = std::function<void(Step step, const QString &path)>;
    void setStepHook(StepHook hook) { m_stepHook = std::move(hook); }

    // The size column's text: kilobytes of 1,024 bytes, rounded up.
    static QString sizeText(qint64 bytes);

signals:
    // Rows found since the last report and the files examined so far.
    void rowsFound(quint64 run, const QList<SearchRow> &rows, qint64 examined);
    // The folder walked has changed since it was last taken (folderWalked): sent once
    // however often it changes meanwhile, so that a fast walk never floods the window.
    void walking(quint64 run);
    // The walk ended; unavailable: a start folder's volume was not ready or its
    // folder could not be opened; unreadable: folders below that could not be read
    // (SearchWalker::unreadable).
    void finished(quint64 run, qint64 examined, bool unavailable, int unreadable);

private:
    struct Run;
    class Examiner;
    class Walk;

    // What a run reports, held until the search's thread takes it.
    struct Report
    {
        enum Kind { Rows, Walking, Finished } kind = Rows;
        quint64 run = 0;
        QList<SearchRow> rows;
        qint64 examined = 0;
        bool unavailable = false;
        int unreadable = 0;
    };
    // Called on a run's thread.
    void post(Report report);
    // Called on the search's thread: sends what the runs left. Invoked by name, so that
    // the call made on a run's thread is built inside Qt (see post).
    Q_INVOKABLE void deliver();

    std::mutex m_mailMutex;
    std::deque<Report> m_mail;

    std::vector<std::shared_ptr<Run>> m_runs;
    std::shared_ptr<Run> m_current;
    quint64 m_run = 0;
    StepHook m_stepHook;
};

Q_DECLARE_METATYPE(SearchRow)
