#include "files/FileSearch.h"

#include "core/DateTimeText.h"
#include "core/PathServices.h"
#include "files/ContentMatcher.h"
#include "files/PageTitle.h"
#include "files/SearchLookAhead.h"
#include "files/SearchWalker.h"
#include "platform/files/FileNames.h"
#include "platform/files/WalkFolder.h"

#include <QElapsedTimer>
#include <QPointer>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <cerrno>
#include <thread>

namespace {

// Rows go to the window in batches: often enough for the list to fill as the walk
// goes, seldom enough for the window's share to stay small.
constexpr int kBatchRows = 512;
constexpr int kBatchMSecs = 100;

// A row's path: the folder and the name with one separator between them and none
// doubled, however the start folder was written ("/a/", "/a//"), so that a file has
// one key and its folder never ends in "/". Nothing else is changed: ".." is left
// for the file system.
QString rowPath(const QString &folder, const QString &name)
{
    QString path = childPath(folder, name);
    if (!path.contains(QLatin1String("//")))
        return path;
    QString single;
    single.reserve(path.size());
    for (const QChar c : path) {
        if (c != QLatin1Char('/') || !single.endsWith(QLatin1Char('/')))
            single.append(c);
    }
    return single;
}

} // namespace

struct FileSearch::Run
{
    quint64 number = 0;
    // Cleared by a stop: the walk enters no further folder.
    std::atomic<bool> running{true};
    // Set when a newer run starts or the search goes away: no file is examined any more.
    std::atomic<bool> abandoned{false};
    std::atomic<bool> done{false};
    std::thread thread;
    // The folder walked, handed to the window's thread.
    std::mutex folderMutex;
    QString folder;
    std::atomic<bool> folderReported{false};
};

// Examines files for one thread of a run: reads and matches them and makes their rows.
class FileSearch::Examiner
{
public:
    Examiner(const ContentMatcher &matcher, const std::atomic<bool> &going)
        : m_matcher(matcher)
        , m_going(&going)
    {
    }

    using Outcome = FileOutcome;

    void examine(const WalkFolder &folder, const QString &path, const QString &name, Outcome &outcome)
    {
        qint64 size = 0;
        qint64 modified = 0;
        if (m_matcher.isEmpty()) {
            FileKind kind = FileKind::Other;
            if (folder.statEntry(name, kind, size, modified) != 0 || kind != FileKind::File)
                return;
            outcome.found = true;
        } else {
            WalkFile file;
            const int failure = file.open(folder, name);
            // Only regular files count as examined; one that cannot be read does not match.
            if (failure == EINVAL)
                return;
            if (failure == 0) {
                size = file.size();
                modified = file.modifiedMSecs();
                // "Zastavit" ends the reading of a file of any size at once: a file whose
                // reading was cut short was not examined.
                bool cut = false;
                outcome.found = m_matcher.matches(file, m_buffer, m_going, &cut);
                if (cut) {
                    outcome.found = false;
                    return;
                }
            }
        }
        outcome.counted = true;
        if (outcome.found)
            outcome.row = addRow(folder, path, name, size, modified);
    }

private:
    SearchRow addRow(const WalkFolder &open, const QString &folder, const QString &name, qint64 size, qint64 modified)
    {
        SearchRow row;
        row.path = rowPath(folder, name);
        // Shown as a person reads it; the key keeps the name's bytes.
        row.name = shownFileName(name);
        row.folder = shownFileName(GetParentPath(row.path));
        // Files installed together share their time: the text is made once for them.
        const qint64 second = modified / 1000;
        if (second != m_dateSecond || m_dateText.isEmpty()) {
            m_dateSecond = second;
            m_dateText = dateTimeText(QDateTime::fromMSecsSinceEpoch(modified));
        }
        row.dateText = m_dateText;
        row.sizeText = FileSearch::sizeText(size);
        row.extension = GetFileExtension(name);
        row.page = isPageExtension(row.extension);
        if (row.page)
            row.title = pageTitle(pageHead(open, name));
        return row;
    }

    // A page's first bytes, read the way the walk reads: through the folder, never
    // following a link put in the file's place meanwhile.
    static QByteArray pageHead(const WalkFolder &folder, const QString &name)
    {
        WalkFile file;
        if (file.open(folder, name) != 0)
            return {};
        QByteArray head(PageTitleHead, Qt::Uninitialized);
        qint64 done = 0;
        while (done < head.size()) {
            const qint64 count = file.read(head.data() + done, head.size() - done);
            if (count <= 0)
                break;
            done += count;
        }
        head.truncate(done);
        return head;
    }

    const ContentMatcher &m_matcher;
    const std::atomic<bool> *m_going;
    QByteArray m_buffer;
    qint64 m_dateSecond = 0;
    QString m_dateText;
};

// A run's walk as the window sees it: the walker's steps taken in order, with the stop
// tested where a walk on one thread tests it, so that what is examined and listed,
// the count and the folder shown follow that walk exactly.
class FileSearch::Walk
{
public:
    Walk(FileSearch *owner, Run &run, const SearchRequest &request, StepHook hook)
        : m_owner(owner)
        , m_run(run)
        , m_walker(request, run.running)
        , m_matcher(request.text)
        , m_hook(std::move(hook))
    {
        m_clock.start();
    }

    void run()
    {
        // A search by name reads nothing but page heads: the walk itself is its work,
        // and handing files to other threads would only slow it.
        const int workers = m_matcher.isEmpty() ? 0 : SearchLookAhead::workersForThisMachine();
        // One examiner per thread: each keeps its own read buffer.
        std::vector<Examiner> examiners(size_t(workers) + 1, Examiner(m_matcher, m_run.running));
        {
            SearchLookAhead lookAhead(
                m_walker, workers,
                [&examiners](int thread, const WalkStep &step, size_t index, FileOutcome &outcome) {
                    examiners[size_t(thread)].examine(*step.folder, step.path, step.names[index], outcome);
                },
                m_run.abandoned);
            m_lookAhead = &lookAhead;
            while (const WalkStep *step = lookAhead.next()) {
                if (!take(*step))
                    break;
            }
            lookAhead.end();
            m_lookAhead = nullptr;
        }
        // The walk's and the workers' threads end before the run reports its end.
        flush();
        Report end;
        end.kind = Report::Finished;
        end.run = m_run.number;
        end.examined = m_examined;
        end.unavailable = m_unavailable;
        end.unreadable = m_walker.unreadable();
        m_owner->post(std::move(end));
    }

private:
    // False once the run is over. Found stopped as a folder turns to a sub-folder, the
    // walk examines that folder's files and those of each folder above it, nothing
    // else; found stopped as it enters a folder, nothing more.
    bool take(const WalkStep &step)
    {
        if (m_run.abandoned)
            return false;
        switch (step.kind) {
        case WalkStep::Start:
            if (m_unwindTo >= 0 || !m_run.running)
                return false;
            if (step.unavailable)
                m_unavailable = true;
            return true;
        case WalkStep::Turn:
            if (m_unwindTo >= 0)
                return true;
            if (!m_run.running) {
                m_unwindTo = step.depth;
                return true;
            }
            if (step.path != m_folder) {
                m_folder = step.path;
                {
                    std::lock_guard lock(m_run.folderMutex);
                    m_run.folder = m_folder;
                }
                if (!m_run.folderReported.exchange(true)) {
                    Report walking;
                    walking.kind = Report::Walking;
                    walking.run = m_run.number;
                    m_owner->post(std::move(walking));
                }
            }
            if (m_hook)
                m_hook(Step::Folder, step.path);
            if (m_clock.elapsed() >= kBatchMSecs)
                flush();
            return m_run.running;
        case WalkStep::Files:
            if (m_unwindTo >= 0) {
                if (step.depth != m_unwindTo)
                    return true;
                examineFiles(step);
                return --m_unwindTo >= 0;
            }
            examineFiles(step);
            return true;
        }
        return true;
    }

    void examineFiles(const WalkStep &step)
    {
        for (size_t i = 0; i < step.names.size(); ++i) {
            if (m_run.abandoned)
                return;
            if (m_hook)
                m_hook(Step::File, childPath(step.path, step.names[i]));
            const FileOutcome &outcome = m_lookAhead->outcome(i);
            if (outcome.counted)
                ++m_examined;
            if (outcome.found)
                m_rows.append(outcome.row);
        }
        if (m_rows.size() >= kBatchRows || m_clock.elapsed() >= kBatchMSecs)
            flush();
    }

    void flush()
    {
        if (m_rows.isEmpty() && m_examined == m_reported)
            return;
        Report found;
        found.run = m_run.number;
        found.rows = std::move(m_rows);
        found.examined = m_examined;
        m_owner->post(std::move(found));
        m_rows.clear();
        m_reported = m_examined;
        m_clock.restart();
    }

    FileSearch *m_owner;
    Run &m_run;
    SearchWalker m_walker;
    const ContentMatcher m_matcher;
    SearchLookAhead *m_lookAhead = nullptr;
    StepHook m_hook;
    // After a stop found at a folder's turn: the depth of the folder whose files come
    // next; -1 while the walk goes on.
    int m_unwindTo = -1;
    bool m_unavailable = false;
    qint64 m_examined = 0;
    QList<SearchRow> m_rows;
    QString m_folder;
    qint64 m_reported = 0;
    QElapsedTimer m_clock;
};

FileSearch::FileSearch(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<SearchRow>();
    qRegisterMetaType<QList<SearchRow>>();
}

FileSearch::~FileSearch()
{
    for (const std::shared_ptr<Run> &run : m_runs) {
        run->running = false;
        run->abandoned = true;
    }
    for (const std::shared_ptr<Run> &run : m_runs)
        run->thread.join();
}

quint64 FileSearch::start(const SearchRequest &request)
{
    if (m_current) {
        m_current->running = false;
        m_current->abandoned = true;
    }
    // Runs that have ended leave nothing to wait for.
    std::erase_if(m_runs, [](const std::shared_ptr<Run> &run) {
        if (!run->done)
            return false;
        run->thread.join();
        return true;
    });
    auto run = std::make_shared<Run>();
    run->number = ++m_run;
    m_current = run;
    m_runs.push_back(run);
    run->thread = std::thread([this, run = run.get(), request, hook = m_stepHook] {
        Walk(this, *run, request, hook).run();
        run->done = true;
    });
    return m_run;
}

void FileSearch::post(Report report)
{
    std::lock_guard lock(m_mailMutex);
    // One wake-up for however many reports wait: the window is never flooded. It is
    // posted under the lock, so the search's thread, which takes the lock before it
    // reads anything, sees all that the run did before it. Posted by name: the call
    // the search's thread reads before it takes the lock is then made and read inside
    // Qt, whose own lock hands it over; a call object made here would be read
    // unlocked as far as the thread checker can see (it sees Qt's hand-over only when
    // the window's thread was asleep), and reported now and then.
    const bool wake = m_mail.empty();
    m_mail.push_back(std::move(report));
    if (wake)
        QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
}

void FileSearch::deliver()
{
    std::deque<Report> mail;
    {
        std::lock_guard lock(m_mailMutex);
        mail.swap(m_mail);
    }
    const QPointer<FileSearch> alive(this);
    for (Report &report : mail) {
        if (!alive)
            return;
        switch (report.kind) {
        case Report::Rows:
            emit rowsFound(report.run, report.rows, report.examined);
            break;
        case Report::Walking:
            emit walking(report.run);
            break;
        case Report::Finished:
            emit finished(report.run, report.examined, report.unavailable, report.unreadable);
            break;
        }
    }
}

QString FileSearch::folderWalked()
{
    if (!m_current)
        return {};
    m_current->folderReported = false;
    std::lock_guard lock(m_current->folderMutex);
    return m_current->folder;
}

void FileSearch::stop()
{
    if (m_current)
        m_current->running = false;
}

QString FileSearch::sizeText(qint64 bytes)
{
    return QString::number((bytes + 1023) / 1024) + QStringLiteral(" kB");
}
