#include "support/ComUtil.h"

namespace ut {

std::string TempFilePrefix(const std::string& prefix) {
    if (prefix.empty())
        return "dfs";
    std::string result = prefix.substr(0, 3);
    result.resize(3, '_');
    for (char& c : result)
        if (c == '/' || c == '\\' || c == '\0')
            c = '_';
    return result;
}

} // namespace ut
