#pragma once
// What each uses entry costs to cut: the references of the using unit into the used one, the
// names they use, and whether an interface entry can move to the implementation without
// touching code. The uses-hygiene analysis fills it; without it every entry costs one
// reference, names nothing and is not movable.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace ut {

struct EntryCost {
    int References = 1;
    std::vector<std::string> Identifiers; ///< at most five of the names the references use
    bool Movable = false;                 ///< an interface entry used only from the implementation
    /// The uses-hygiene analysis judged the entry, so one not movable needs code changes.
    bool Judged = false;
};

/// The costs of uses entries by using and used node.
class EntryCosts {
  public:
    void Set(int from, int to, EntryCost cost);
    /// The entry's cost; the default one when none was set.
    const EntryCost& Of(int from, int to) const;

  private:
    static std::uint64_t Key(int from, int to) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(from)) << 32) |
               static_cast<std::uint32_t>(to);
    }
    std::unordered_map<std::uint64_t, EntryCost> FCosts;
};

} // namespace ut
