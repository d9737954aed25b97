#include "files/SearchWalker.h"

#include <algorithm>
#include <cerrno>

QString childPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

SearchWalker::SearchWalker(const SearchRequest &request, const std::atomic<bool> &running)
    : m_starts(request.starts)
    , m_volumes(request.volumes)
    , m_readVolumes(request.readVolumes)
    , m_names(request.pattern)
    , m_running(running)
{
}

bool SearchWalker::next(WalkStep &step)
{
    step = WalkStep();
    while (!m_ended) {
        if (m_stack.empty()) {
            if (takeStart(step))
                return true;
            m_ended = true;
            break;
        }
        Frame &top = m_stack.back();
        if (m_unwinding) {
            giveFiles(step);
            return true;
        }
        if (top.turned) {
            top.turned = false;
            if (!m_running)
                m_unwinding = true;
            else
                openSubFolder(top);
            continue;
        }
        if (top.remaining > 0) {
            if (!m_running) {
                m_unwinding = true;
                continue;
            }
            top.turned = true;
            step.kind = WalkStep::Turn;
            step.depth = int(m_stack.size()) - 1;
            step.path = top.path;
            return true;
        }
        giveFiles(step);
        return true;
    }
    return false;
}

bool SearchWalker::takeStart(WalkStep &step)
{
    if (m_unwinding || m_nextStart >= m_starts.size())
        return false;
    const SearchStart &start = m_starts[m_nextStart++];
    step.kind = WalkStep::Start;
    step.path = start.path;
    WalkFolder folder;
    const Volume *mount = nullptr;
    // A folder the user names, or a place the system presets, is found as any program
    // finds it: a link to it ("Documents" kept on another disk) leads there, however
    // it is spelt. Below it no link is followed. The folder's own mount decides,
    // whatever its path says.
    if (folder.open(start.path, WalkFolder::Links::Resolved) == 0) {
        mount = m_volumes.mountOf(folder);
        m_mountsMet.insert(folder.mountId());
    }
    if (!mount || !mount->ready || !VolumeTable::holdsFiles(*mount)) {
        step.unavailable = true;
        return true;
    }
    m_ownVolume = start.ownVolume;
    push(std::move(folder), start.path, QString());
    return true;
}

bool SearchWalker::push(WalkFolder folder, const QString &path, const QString &name)
{
    // The loop guard: a folder seen before in this run (through a bind mount of an
    // ancestor, say) is not walked again.
    const QPair<quint64, quint64> id(folder.device(), folder.inode());
    if (m_seen.contains(id))
        return false;
    m_seen.insert(id);
    Frame frame;
    frame.path = path;
    frame.name = name;
    std::vector<FolderEntry> entries;
    if (folder.list(entries) != 0)
        ++m_unreadable;
    for (FolderEntry &entry : entries) {
        if (entry.kind == FileKind::Folder)
            frame.folders.push_back(std::move(entry.name));
        else if (entry.kind == FileKind::File && m_names.matches(entry.name))
            frame.files.push_back(std::move(entry.name));
    }
    std::sort(frame.folders.begin(), frame.folders.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    frame.remaining = frame.folders.size();
    frame.folder = std::move(folder);
    m_stack.push_back(std::move(frame));
    // However deep the walk goes, only the innermost folders stay open, and the start
    // folder, from which every other can be found again.
    if (m_stack.size() > size_t(OpenFolders) + 1)
        m_stack[m_stack.size() - 1 - OpenFolders].folder.close();
    return true;
}

void SearchWalker::openSubFolder(Frame &frame)
{
    const QString name = frame.folders[--frame.remaining];
    WalkFolder sub;
    int failure = sub.openChild(frame.folder, name);
    if (failure == EMFILE || failure == ENFILE) {
        // Out of descriptors (a low limit, or many open elsewhere in the process): the
        // outer folders let theirs go and are opened again on the way back.
        for (size_t i = 1; i + 1 < m_stack.size(); ++i)
            m_stack[i].folder.close();
        failure = sub.openChild(frame.folder, name);
    }
    if (failure != 0) {
        // Gone meanwhile, or a link or a file put in its place: nothing there to read.
        // A folder above that could not be found again was counted already (EBADF).
        if (failure != ENOENT && failure != ELOOP && failure != ENOTDIR && failure != EBADF)
            ++m_unreadable;
        return;
    }
    if (sub.mountId() != frame.folder.mountId() && !mayCross(sub))
        return;
    const QString path = childPath(frame.path, name);
    push(std::move(sub), path, name);
}

void SearchWalker::giveFiles(WalkStep &step)
{
    Frame &top = m_stack.back();
    step.kind = WalkStep::Files;
    step.depth = int(m_stack.size()) - 1;
    step.path = top.path;
    // The folder above is opened again, when it was closed, while this one still
    // leads to it.
    if (m_stack.size() >= 2 && !m_stack[m_stack.size() - 2].folder.isOpen())
        reopen(m_stack.size() - 2);
    if (top.folder.isOpen() && !top.files.empty()) {
        step.names = std::move(top.files);
        step.folder = std::make_shared<const WalkFolder>(std::move(top.folder));
    }
    m_stack.pop_back();
}

void SearchWalker::reopen(size_t index)
{
    Frame &frame = m_stack[index];
    // Through the parent entry of its sub-folder: one step, whatever the depth, as
    // long as that sub-folder was not moved elsewhere.
    if (frame.folder.reopenAbove(m_stack[index + 1].folder) == 0)
        return;
    reopenDown(index);
    // What it still held is lost to the walk.
    if (!frame.folder.isOpen())
        ++m_unreadable;
}

void SearchWalker::reopenDown(size_t index)
{
    // Down by name from the nearest folder still open (the start folder at the
    // latest), each step checked to be the folder walked before: a path would fail
    // past 4,096 bytes, or where a folder above was renamed meanwhile. Only a folder
    // that is really gone stays closed, and with it the rest of its walk.
    size_t open = index;
    while (open > 0 && !m_stack[open - 1].folder.isOpen())
        --open;
    if (open == 0)
        return;
    for (size_t below = open; below <= index; ++below) {
        if (m_stack[below].folder.reopenIn(m_stack[below - 1].folder, m_stack[below].name) != 0)
            break;
        // Only the folder asked for stays open: those between are opened again through
        // it, one step each, as the walk comes back up.
        if (below - 1 >= open)
            m_stack[below - 1].folder.close();
    }
}

bool SearchWalker::mayCross(const WalkFolder &sub)
{
    // Onto any file system that holds files, never into a view of the kernel's state
    // nor onto a mount the table does not know; a whole volume keeps to its own. The
    // file system's own word comes first: the table may be older than the mount.
    if (m_ownVolume || sub.isKernelView())
        return false;
    if (sub.hasMountId() && !m_mountsMet.contains(sub.mountId())) {
        m_mountsMet.insert(sub.mountId());
        if (m_readVolumes)
            m_volumes = m_readVolumes();
    }
    const Volume *mount = m_volumes.mountOf(sub);
    return mount && mount->ready && VolumeTable::holdsFiles(*mount);
}
