#include "files/FileSearch.h"

#include "core/DateTimeText.h"
#include "core/PathServices.h"
#include "files/ContentMatcher.h"
#include "files/PageTitle.h"
#include "platform/files/WalkFolder.h"
#include "platform/files/WildcardPattern.h"

#include <QElapsedTimer>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <thread>

namespace {

// Rows go to the window in batches: often enough for the list to fill as the walk
// goes, seldom enough for the window's share to stay small.
constexpr int kBatchRows = 512;
constexpr int kBatchMSecs = 100;

QString childPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

struct FolderId
{
    quint64 device;
    quint64 inode;
    bool operator==(const FolderId &) const = default;
};

size_t qHash(const FolderId &id, size_t seed = 0)
{
    return qHashMulti(seed, id.device, id.inode);
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
};

class FileSearch::Walk
{
public:
    Walk(FileSearch *owner, Run &run, const SearchRequest &request, StepHook hook)
        : m_owner(owner)
        , m_run(run)
        , m_request(request)
        , m_names(request.pattern)
        , m_matcher(request.text)
        , m_hook(std::move(hook))
    {
        m_clock.start();
    }

    void run()
    {
        bool unavailable = false;
        for (const SearchStart &start : m_request.starts) {
            if (!m_run.running)
                break;
            if (!walkStart(start))
                unavailable = true;
        }
        flush();
        emit m_owner->finished(m_run.number, m_examined, unavailable);
    }

private:
    // False when the start folder's volume is not ready or the folder cannot be read.
    bool walkStart(const SearchStart &start)
    {
        WalkFolder folder;
        if (folder.open(start.path) != 0)
            return false;
        // The folder's own mount decides, whatever its path says.
        const Volume *mount = m_request.volumes.mountOf(folder.mountId(), folder.device());
        if (!mount || !mount->ready || !VolumeTable::holdsFiles(*mount))
            return false;
        m_ownVolume = start.ownVolume;
        if (enter(folder))
            walk(folder, start.path);
        return true;
    }

    // The loop guard: a folder seen before in this run (through a bind mount of an
    // ancestor, say) is not walked again.
    bool enter(const WalkFolder &folder)
    {
        const FolderId id{folder.device(), folder.inode()};
        if (m_seen.contains(id))
            return false;
        m_seen.insert(id);
        return true;
    }

    // May the walk go from a folder into a sub-folder that lies on another mount? Onto
    // any file system that holds files, never into a view of the kernel's state nor
    // onto a mount the table does not know.
    bool mayCross(const WalkFolder &sub) const
    {
        if (m_ownVolume)
            return false;
        const Volume *mount = m_request.volumes.mountOf(sub.mountId(), sub.device());
        return mount && mount->ready && VolumeTable::holdsFiles(*mount);
    }

    // Walks an open folder; true when the walk was found stopped on entering it.
    bool walk(WalkFolder &folder, const QString &path)
    {
        if (!m_run.running)
            return true;
        std::vector<FolderEntry> entries;
        folder.list(entries);
        std::vector<const FolderEntry *> folders;
        std::vector<const FolderEntry *> files;
        for (const FolderEntry &entry : entries) {
            if (entry.kind == FileKind::Folder)
                folders.push_back(&entry);
            else if (entry.kind == FileKind::File && m_names.matches(entry.name))
                files.push_back(&entry);
        }
        std::sort(folders.begin(), folders.end(), [](const FolderEntry *a, const FolderEntry *b) {
            return a->name.compare(b->name, Qt::CaseInsensitive) < 0;
        });
        for (size_t n = folders.size(); n >= 1 && m_run.running; --n) {
            m_folder = path;
            if (m_hook)
                m_hook(Step::Folder, path);
            if (m_clock.elapsed() >= kBatchMSecs)
                flush();
            if (!m_run.running)
                return true;
            const QString &name = folders[n - 1]->name;
            WalkFolder sub;
            if (sub.openChild(folder, name) != 0)
                continue;
            const QString subPath = childPath(path, name);
            if (sub.mountId() != folder.mountId() && !mayCross(sub))
                continue;
            if (!enter(sub))
                continue;
            if (walk(sub, subPath))
                return true;
        }
        examineFiles(folder, path, files);
        return false;
    }

    void examineFiles(const WalkFolder &folder, const QString &path, const std::vector<const FolderEntry *> &files)
    {
        for (const FolderEntry *entry : files) {
            if (m_run.abandoned)
                return;
            if (m_hook)
                m_hook(Step::File, childPath(path, entry->name));
            qint64 size = 0;
            qint64 modified = 0;
            bool found = false;
            if (m_matcher.isEmpty()) {
                FileKind kind = FileKind::Other;
                if (folder.statEntry(entry->name, kind, size, modified) != 0 || kind != FileKind::File)
                    continue;
                found = true;
            } else {
                WalkFile file;
                const int failure = file.open(folder, entry->name);
                // Only regular files count as examined; one that cannot be read does not match.
                if (failure == EINVAL)
                    continue;
                if (failure == 0) {
                    size = file.size();
                    modified = file.modifiedMSecs();
                    found = m_matcher.matches(file, m_buffer);
                }
            }
            ++m_examined;
            if (found)
                addRow(folder, path, entry->name, size, modified);
        }
        if (m_rows.size() >= kBatchRows || m_clock.elapsed() >= kBatchMSecs)
            flush();
    }

    void addRow(const WalkFolder &open, const QString &folder, const QString &name, qint64 size, qint64 modified)
    {
        SearchRow row;
        row.path = childPath(folder, name);
        row.name = name;
        row.folder = folder;
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
        m_rows.append(std::move(row));
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

    void flush()
    {
        if (m_rows.isEmpty() && m_folder == m_shownFolder)
            return;
        emit m_owner->rowsFound(m_run.number, m_rows, m_folder, m_examined);
        m_rows.clear();
        m_shownFolder = m_folder;
        m_clock.restart();
    }

    FileSearch *m_owner;
    Run &m_run;
    const SearchRequest m_request;
    const WildcardPattern m_names;
    const ContentMatcher m_matcher;
    StepHook m_hook;
    QSet<FolderId> m_seen;
    bool m_ownVolume = false;
    qint64 m_examined = 0;
    QList<SearchRow> m_rows;
    QString m_folder;
    QString m_shownFolder;
    QByteArray m_buffer;
    QElapsedTimer m_clock;
    qint64 m_dateSecond = 0;
    QString m_dateText;
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

void FileSearch::stop()
{
    if (m_current)
        m_current->running = false;
}

QString FileSearch::sizeText(qint64 bytes)
{
    return QString::number((bytes + 1023) / 1024) + QStringLiteral(" kB");
}
