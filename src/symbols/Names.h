#pragma once
// Pascal names as the symbol readers compare them: without regard to ASCII letter case, in
// hash tables that look up views of the source without folded copies.
#include "support/Textutil.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace ut {

struct TNameHash : FoldedHash {
    using is_transparent = void;
};
struct TNameEqual : FoldedEqual {
    using is_transparent = void;
};

template <class T> using TNameMap = std::unordered_map<std::string, T, TNameHash, TNameEqual>;
using TNameSet = std::unordered_set<std::string, TNameHash, TNameEqual>;

/// Is `word` the identifier `name` (ASCII letters folded)?
inline bool IsWord(std::string_view word, std::string_view name) {
    return word.size() == name.size() && SameTextN(word, name, name.size());
}

} // namespace ut
