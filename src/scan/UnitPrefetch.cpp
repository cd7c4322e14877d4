#include "scan/UnitPrefetch.h"

#include <algorithm>
#include <system_error>

namespace ut {

UnitPrefetch::UnitPrefetch(int workers, std::shared_ptr<const TParseContexts> contexts,
                           const ThreadStart& start)
    : FContexts(std::move(contexts)) {
    FWorkers.reserve(static_cast<size_t>(std::max(workers, 0)));
    for (int i = 0; i < workers; ++i) {
        try {
            FWorkers.push_back(start([this] { Work(); }));
        } catch (const std::system_error& e) {
            FStartFailure = e.what();
            break;
        }
    }
}

UnitPrefetch::~UnitPrefetch() {
    {
        const std::lock_guard lock(FMutex);
        FStop = true;
    }
    FWork.notify_all();
    for (std::thread& worker : FWorkers)
        worker.join();
}

void UnitPrefetch::Request(const std::vector<std::string>& files) {
    if (FWorkers.empty())
        return; // nobody to read ahead: the walk parses each file itself, as with one job
    {
        const std::lock_guard lock(FMutex);
        // Backwards to the front of the queue, so the batch keeps its order there.
        for (auto it = files.rbegin(); it != files.rend(); ++it) {
            if (!FRequested.insert(*it).second)
                continue;
            FSlots.emplace(*it, Slot{});
            FQueue.push_front(*it);
        }
        if (FIdle == 0)
            return; // the workers come back to the queue themselves: no wake-up call
    }
    FWork.notify_all();
}

std::optional<TParsedAhead> UnitPrefetch::Take(const std::string& file) {
    std::unique_lock lock(FMutex);
    auto slot = FSlots.find(file);
    if (slot == FSlots.end())
        return std::nullopt;
    if (slot->second.Now == State::Queued) {
        // No worker got to it: the walk is quicker doing it than waiting.
        FQueue.erase(std::find(FQueue.begin(), FQueue.end(), file));
        FSlots.erase(slot);
        lock.unlock();
        return Parse(file, FContexts->Of(file));
    }
    // The slot stays where it is while other files are queued; the iterator may not.
    Slot& running = slot->second;
    ++FWaiting;
    FDone.wait(lock, [&] { return running.Now == State::Done; });
    --FWaiting;
    TParsedAhead result = std::move(running.Result);
    FSlots.erase(file);
    return result;
}

void UnitPrefetch::Work() {
    std::unique_lock lock(FMutex);
    for (;;) {
        ++FIdle;
        FWork.wait(lock, [this] { return FStop || !FQueue.empty(); });
        --FIdle;
        if (FStop)
            return;
        const std::string file = std::move(FQueue.front());
        FQueue.pop_front();
        Slot& slot = FSlots.at(file); // stays valid: only Take erases it, once it is Done
        slot.Now = State::Running;
        lock.unlock();
        TParsedAhead result = Parse(file, FContexts->Of(file));
        lock.lock();
        slot.Result = std::move(result);
        slot.Now = State::Done;
        if (FWaiting > 0)
            FDone.notify_all();
    }
}

TParsedAhead UnitPrefetch::Parse(const std::string& file, const TParseContext& context) {
    TParsedAhead result;
    try {
        result.Unit = std::make_unique<TUnit>(file);
    } catch (...) {
        result.OpenError = std::current_exception();
        return result;
    }
    TUnit& unit = *result.Unit;
    unit.SetSymbols(context.Symbols);
    unit.SetIncludeDirs(context.IncludeDirs);
    unit.ErrorHook = [&result](TUnit&, const std::exception&) {
        result.StepErrors.push_back(std::current_exception());
    };
    try {
        unit.ParseSource();
    } catch (...) {
        result.ParseError = std::current_exception();
    }
    unit.ErrorHook = nullptr;
    return result;
}

} // namespace ut
