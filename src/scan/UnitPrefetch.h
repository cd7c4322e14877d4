#pragma once
// Reads and parses, on a few worker threads, the sources that the walk is going to need,
// so that the walk mostly finds its work done. A worker's parse is the walk's parse without
// its side effects: the process's current directory is left alone and the failures of the
// parse steps are kept, to be reported by the walk when it takes the record, at the point
// where its own parse would have reported them. So the walk's results and log are the same
// whether a record was parsed ahead or not.
#include "scan/ScanSymbols.h"
#include "scanner/CompilerSymbols.h"
#include "scanner/Unit.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ut {

/// A source parsed ahead of the walk.
struct TParsedAhead {
    std::unique_ptr<TUnit> Unit;  ///< null when the file could not be opened
    std::exception_ptr OpenError; ///< what creating the record raised
    /// The failures of the parse steps, in their order, as the error hook would have seen
    /// them.
    std::vector<std::exception_ptr> StepErrors;
    std::exception_ptr ParseError; ///< what Parse itself raised (the walk's handler logs it)
};

class UnitPrefetch {
  public:
    /// Starts a thread that runs `work`; throws std::system_error when none can be started.
    using ThreadStart = std::function<std::thread(std::function<void()> work)>;

    /// Up to `workers` threads parse each file in its context, as the walk's records do. A
    /// worker that cannot be started (a process limit) is not: the others work, and with
    /// none every file is left to the walk (Workers() and StartFailure() say so).
    UnitPrefetch(int workers, std::shared_ptr<const TParseContexts> contexts,
                 const ThreadStart& start = StartThread);
    /// Stops the workers; a parse under way is finished first.
    ~UnitPrefetch();
    UnitPrefetch(const UnitPrefetch&) = delete;
    UnitPrefetch& operator=(const UnitPrefetch&) = delete;

    /// Queues full paths the walk will need, in the order it will need them, ahead of
    /// everything queued before (the walk is depth first). A file requested once is not
    /// queued again.
    void Request(const std::vector<std::string>& files);
    /// The parse of `file`: done by a worker, or now on the calling thread when no worker
    /// has started it; waits for a worker that is on it. None when `file` was never
    /// requested or was taken already, or when no worker started.
    std::optional<TParsedAhead> Take(const std::string& file);

    /// The workers that started.
    int Workers() const { return static_cast<int>(FWorkers.size()); }
    /// Why the workers asked for did not all start; empty when they did.
    const std::string& StartFailure() const { return FStartFailure; }

    static std::thread StartThread(std::function<void()> work) {
        return std::thread(std::move(work));
    }

    /// The parse a worker does, on its own.
    static TParsedAhead Parse(const std::string& file, const TParseContext& context);

  private:
    enum class State { Queued, Running, Done };
    struct Slot {
        State Now = State::Queued;
        TParsedAhead Result;
    };

    void Work();

    std::shared_ptr<const TParseContexts> FContexts;
    std::mutex FMutex;
    std::condition_variable FWork; ///< a file was queued, or the workers must stop
    std::condition_variable FDone; ///< a worker finished a file
    std::deque<std::string> FQueue;
    std::unordered_map<std::string, Slot> FSlots;
    std::unordered_set<std::string> FRequested;
    bool FStop = false;
    int FIdle = 0;    ///< workers waiting for a file to be queued
    int FWaiting = 0; ///< callers of Take waiting for a worker to finish
    std::vector<std::thread> FWorkers;
    std::string FStartFailure;
};

} // namespace ut
