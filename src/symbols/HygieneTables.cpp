#include "symbols/HygieneTables.h"

#include "support/Exceptions.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace ut::hygiene {

void ForEach(int count, int jobs, const std::function<void(int)>& work,
             const THygieneOptions& options, int& done, int total) {
    std::atomic<int> next{0}, finished{0};
    std::atomic<bool> stop{false};
    bool aborted = false;
    std::exception_ptr failure;
    std::mutex failureLock;
    auto loop = [&](bool reports) {
        for (int i; !stop && (i = next++) < count;) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(failureLock);
                failure = failure ? failure : std::current_exception();
                stop = true;
            }
            ++finished;
            if (reports && options.Progress && options.Progress(done + finished, total)) {
                aborted = true;
                stop = true;
            }
        }
    };
    std::vector<std::thread> workers;
    for (int j = 1; j < std::min(jobs, count); ++j)
        workers.emplace_back(loop, false);
    loop(true);
    for (std::thread& w : workers)
        w.join();
    done += count;
    if (aborted)
        throw EAbort();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace ut::hygiene
