#include "files/SearchLookAhead.h"

#include "platform/system/ProcessLimits.h"

#include <algorithm>

namespace {

// How far the walk may run ahead of the step taken: in steps, in file names, and in
// folders held open for their files (a quarter of the descriptors the process may
// open, so that the walk and the workers always have theirs).
constexpr size_t kAheadSteps = 8192;
constexpr size_t kAheadNames = 8192;
constexpr int kAheadFoldersMost = 256;

int aheadFolders()
{
    const qint64 limit = ProcessLimits::openFiles();
    return limit < 0 ? kAheadFoldersMost : int(std::clamp<qint64>(limit / 4, 4, kAheadFoldersMost));
}
// Files a worker takes up at once: few, so that a folder's files spread over workers.
constexpr size_t kChunk = 8;
constexpr size_t kWakeTaker = 64;
// Sleeping workers are woken for a backlog of files, not for each folder's few.
constexpr size_t kWakeWorkers = 32;

enum FileState { Waiting, Taken, Done, Dropped };

} // namespace

struct SearchLookAhead::Slot
{
    explicit Slot(WalkStep walkStep)
        : step(std::move(walkStep))
        , outcomes(new FileOutcome[step.names.size()])
        , states(new std::atomic<int>[step.names.size()])
    {
        for (size_t i = 0; i < step.names.size(); ++i)
            states[i].store(Waiting, std::memory_order_relaxed);
    }

    WalkStep step;
    std::unique_ptr<FileOutcome[]> outcomes;
    std::unique_ptr<std::atomic<int>[]> states;
    int holders = 0;             // workers holding files of it, under the mutex
    // Files examined, or let go by a worker of an abandoned run; the taker is woken
    // when all of them are.
    std::atomic<size_t> examined{0};
    size_t takenUp = 0;          // names handed to workers, under the mutex
};

SearchLookAhead::SearchLookAhead(SearchWalker &walker, int workers, Examine examine, const std::atomic<bool> &abandoned)
    : m_walker(walker)
    , m_workerCount(std::max(0, workers))
    , m_examine(std::move(examine))
    , m_abandoned(abandoned)
    , m_aheadFolders(aheadFolders())
{
    if (m_workerCount == 0)
        return;
    m_threads.emplace_back([this] { walk(); });
    for (int number = 1; number <= m_workerCount; ++number)
        m_threads.emplace_back([this, number] { work(number); });
}

SearchLookAhead::~SearchLookAhead()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_room.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

int SearchLookAhead::workersForThisMachine()
{
    return std::min(ProcessLimits::usableCores(), 32) - 1;
}

const WalkStep *SearchLookAhead::next()
{
    if (m_current)
        retire();
    if (m_workerCount == 0) {
        // Alone, the walk takes one step at a time, when it is asked for.
        WalkStep step;
        if (m_walkEnded || m_abandoned || !m_walker.next(step)) {
            m_walkEnded = true;
            return nullptr;
        }
        m_queue.push_back(std::make_unique<Slot>(std::move(step)));
        m_current = m_queue.front().get();
        return &m_current->step;
    }
    std::unique_lock lock(m_mutex);
    if (m_queue.empty() && !m_walkEnded) {
        m_takerWaiting = true;
        m_stepReady.wait(lock, [this] { return !m_queue.empty() || m_walkEnded; });
        m_takerWaiting = false;
    }
    // The queue grows on the walk's thread: its front is read here, under the lock,
    // and the step it holds is the taker's until it is retired.
    m_current = m_queue.empty() ? nullptr : m_queue.front().get();
    return m_current ? &m_current->step : nullptr;
}

void SearchLookAhead::end()
{
    if (m_workerCount == 0) {
        m_walker.end();
        m_walkEnded = true;
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_room.notify_all();
}

bool SearchLookAhead::roomAhead() const
{
    return m_queue.size() < kAheadSteps && m_queuedNames < kAheadNames && m_heldFolders < m_aheadFolders;
}

void SearchLookAhead::walk()
{
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (!roomAhead() && !m_stopping) {
                if (m_backlog > 0 && m_idle > 0)
                    m_wake.notify_all();
                m_walkerWaiting = true;
                m_room.wait(lock, [this] { return m_stopping || roomAhead(); });
                m_walkerWaiting = false;
            }
            if (m_stopping)
                break;
        }
        WalkStep step;
        if (m_abandoned || !m_walker.next(step))
            break;
        // As many idle workers are woken as the step has shares of files for.
        size_t wake = 0;
        bool takerWaiting = false;
        {
            std::lock_guard lock(m_mutex);
            m_queuedNames += step.names.size();
            m_heldFolders += step.folder ? 1 : 0;
            m_backlog += step.names.size();
            m_queue.push_back(std::make_unique<Slot>(std::move(step)));
            if (m_backlog >= kWakeWorkers || !roomAhead())
                wake = std::min(size_t(m_idle), (m_backlog + kChunk - 1) / kChunk);
            // A waiting taker is woken for a batch of steps, not for each.
            takerWaiting = m_takerWaiting && (m_queue.size() >= kWakeTaker || !roomAhead());
        }
        for (; wake > 0; --wake)
            m_wake.notify_one();
        if (takerWaiting)
            m_stepReady.notify_one();
    }
    {
        std::lock_guard lock(m_mutex);
        m_walkEnded = true;
    }
    m_stepReady.notify_one();
    m_wake.notify_all();
}

const FileOutcome &SearchLookAhead::outcome(size_t index)
{
    Slot &slot = *m_current;
    std::atomic<int> &state = slot.states[index];
    if (m_workerCount == 0) {
        // Alone: each file is examined when it is asked for.
        state.store(Done, std::memory_order_relaxed);
        m_examine(0, slot.step, index, slot.outcomes[index]);
        return slot.outcomes[index];
    }
    if (state.load(std::memory_order_acquire) == Done)
        return slot.outcomes[index];
    // The step's files are left to the workers, woken for them should they sleep,
    // and waited for all at once: the taker wakes once per folder, not per file.
    {
        std::lock_guard lock(m_mutex);
        if (m_backlog > 0 && m_idle > 0)
            m_wake.notify_all();
    }
    const size_t count = slot.step.names.size();
    for (size_t examined = slot.examined.load(std::memory_order_acquire); examined != count;
         examined = slot.examined.load(std::memory_order_acquire))
        slot.examined.wait(examined, std::memory_order_acquire);
    return slot.outcomes[index];
}

void SearchLookAhead::retire()
{
    Slot *slot = m_current;
    // Files not asked for (a stop came) are examined by no one now; a worker that
    // holds some lets them go before the step does.
    {
        std::lock_guard lock(m_mutex);
        m_backlog -= slot->step.names.size() - slot->takenUp;
        slot->takenUp = slot->step.names.size();
    }
    for (size_t i = 0; i < slot->step.names.size(); ++i) {
        int expected = Waiting;
        slot->states[i].compare_exchange_strong(expected, Dropped, std::memory_order_relaxed);
    }
    bool walkerWaiting = false;
    {
        // A worker lets a step go under the lock and wakes the taker before it lets the
        // lock go: once no worker holds the step, none touches it again.
        std::unique_lock lock(m_mutex);
        m_released.wait(lock, [slot] { return slot->holders == 0; });
        m_queuedNames -= slot->step.names.size();
        m_heldFolders -= slot->step.folder ? 1 : 0;
        m_queue.pop_front();
        if (m_handOut > 0)
            --m_handOut;
        m_current = nullptr;
        walkerWaiting = m_walkerWaiting;
    }
    if (walkerWaiting)
        m_room.notify_one();
}

bool SearchLookAhead::findWork(Slot *&slot, size_t &begin, size_t &end)
{
    for (; m_handOut < m_queue.size(); ++m_handOut) {
        Slot *candidate = m_queue[m_handOut].get();
        const size_t count = candidate->step.names.size();
        if (candidate->takenUp < count) {
            slot = candidate;
            begin = candidate->takenUp;
            end = std::min(count, begin + kChunk);
            candidate->takenUp = end;
            m_backlog -= end - begin;
            ++candidate->holders;
            return true;
        }
    }
    return false;
}

void SearchLookAhead::work(int number)
{
    for (;;) {
        Slot *slot = nullptr;
        size_t begin = 0;
        size_t end = 0;
        {
            std::unique_lock lock(m_mutex);
            ++m_idle;
            m_wake.wait(lock, [&] { return m_stopping || findWork(slot, begin, end); });
            --m_idle;
            if (!slot)
                return;
        }
        for (size_t i = begin; i < end; ++i) {
            std::atomic<int> &state = slot->states[i];
            int expected = Waiting;
            if (!state.compare_exchange_strong(expected, Taken, std::memory_order_acquire))
                continue;
            if (m_abandoned)
                state.store(Dropped, std::memory_order_release);
            else {
                m_examine(number, slot->step, i, slot->outcomes[i]);
                state.store(Done, std::memory_order_release);
            }
            if (slot->examined.fetch_add(1, std::memory_order_acq_rel) + 1 == slot->step.names.size())
                slot->examined.notify_all();
        }
        std::lock_guard lock(m_mutex);
        if (--slot->holders == 0)
            m_released.notify_all();
    }
}
