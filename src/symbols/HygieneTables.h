#pragma once
// The tables and the thread pool of the hygiene's passes over a scan's sources.
#include "symbols/Hygiene.h"
#include "symbols/Names.h"

#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace ut::hygiene {

/// Texts of a few units (failures are rare) written and read by several threads.
class SparseTexts {
  public:
    void Set(size_t unit, std::string text) {
        const std::lock_guard lock(FLock);
        if (!text.empty())
            FTexts[unit] = std::move(text);
    }
    std::string Get(size_t unit) const {
        const std::lock_guard lock(FLock);
        const auto it = FTexts.find(unit);
        return it == FTexts.end() ? std::string() : it->second;
    }

  private:
    mutable std::mutex FLock;
    std::unordered_map<size_t, std::string> FTexts;
};

/// Each declared name with the units declaring it: most names one unit, a few several.
class Declarers {
  public:
    void Add(const std::string& name, int unit) {
        auto [it, added] = FFirst.emplace(name, unit);
        if (added || it->second == unit)
            return;
        if (it->second >= 0) {
            FShared.push_back({it->second, unit});
            it->second = -static_cast<int>(FShared.size());
        } else if (FShared[static_cast<size_t>(-it->second - 1)].back() != unit) {
            FShared[static_cast<size_t>(-it->second - 1)].push_back(unit);
        }
    }
    std::span<const int> Of(std::string_view name) const {
        const auto it = FFirst.find(name);
        if (it == FFirst.end())
            return {};
        if (it->second >= 0)
            return {&it->second, 1};
        return FShared[static_cast<size_t>(-it->second - 1)];
    }

  private:
    TNameMap<int> FFirst; ///< the unit, or -1 - the index into FShared
    std::vector<std::vector<int>> FShared;
};

/// Runs `work` for 0 .. count-1 on `jobs` threads, the calling one among them, which
/// reports progress (`done` of `total` so far, then `done` grows by `count`); EAbort when
/// the progress asks for it, the first failure otherwise.
void ForEach(int count, int jobs, const std::function<void(int)>& work,
             const THygieneOptions& options, int& done, int total);

} // namespace ut::hygiene
