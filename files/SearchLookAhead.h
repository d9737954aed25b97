#pragma once

#include "files/FileSearch.h"
#include "files/SearchWalker.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// What examining one file of a walked folder found.
struct FileOutcome
{
    bool counted = false; // a regular file, examined
    bool found = false;
    SearchRow row;
};

// Hands a walk's steps out in walk order while the walk goes on ahead on a thread of
// its own and worker threads examine the files of the steps ahead: the walker runs a
// bounded distance ahead of the step taken (so a stop leaves little read for nothing
// and memory stays small). The taker examines nothing itself: asked for a file's
// outcome, it wakes the workers should they sleep and waits until they have examined
// every file of its step. Without workers it is the walk on one thread: one step at a
// time, each file examined when it is asked for.
class SearchLookAhead
{
public:
    // Examines file index of a step into the outcome, on the thread given by number
    // (0 the taker's, 1 to workers the workers').
    using Examine = std::function<void(int thread, const WalkStep &step, size_t index, FileOutcome &outcome)>;

    SearchLookAhead(SearchWalker &walker, int workers, Examine examine, const std::atomic<bool> &abandoned);
    // Ends the workers; what they hold is let go.
    ~SearchLookAhead();

    // The next step in walk order, valid until the next call; nullptr at the walk's end.
    const WalkStep *next();
    // The outcome of a file of the step last handed out, examined by now.
    const FileOutcome &outcome(size_t index);
    // Takes no further step from the walker.
    void end();

    // Workers a run may use beside its own thread: one thread per core in all.
    static int workersForThisMachine();

private:
    struct Slot;

    void walk();
    bool roomAhead() const;
    void retire();
    bool findWork(Slot *&slot, size_t &begin, size_t &end);
    void work(int number);

    SearchWalker &m_walker;
    const int m_workerCount;
    const Examine m_examine;
    const std::atomic<bool> &m_abandoned;
    const int m_aheadFolders;
    bool m_walkEnded = false;

    std::mutex m_mutex;
    std::condition_variable m_wake;      // workers: files to examine
    std::condition_variable m_stepReady; // the taker: a step
    std::condition_variable m_room;      // the walker: room ahead
    std::condition_variable m_released;  // the taker: no worker holds its step any more
    bool m_takerWaiting = false;
    bool m_walkerWaiting = false;
    std::deque<std::unique_ptr<Slot>> m_queue; // its front is the step handed out
    Slot *m_current = nullptr; // the step handed out, the taker's own
    size_t m_handOut = 0; // the first queued step with files no worker has taken up
    size_t m_queuedNames = 0;
    size_t m_backlog = 0; // queued names no worker has taken up
    int m_heldFolders = 0;
    bool m_stopping = false;
    int m_idle = 0; // workers waiting for files
    std::vector<std::thread> m_threads; // the walker's and the workers'; none alone
};
