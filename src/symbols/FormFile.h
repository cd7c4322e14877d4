#pragma once
// The names a text form file (.dfm, .lfm, .fmx, .xfm) refers to: the classes of its
// components and the identifiers of its property values.
#include <string>
#include <utility>
#include <vector>

namespace ut {

struct TFormNames {
    /// Each class or value identifier with its line, in the order of the file.
    std::vector<std::pair<std::string, int>> Names;
    /// Why the file could not be read as a text form (binary, broken, missing); empty when
    /// it could.
    std::string Problem;
};

TFormNames ReadFormFile(const std::string& fileName);

} // namespace ut
