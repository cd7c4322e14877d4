#pragma once
// Small graphs written as text for the analysis tests:
//   "P: A -B; A=10: B; B"
// units separated by ';', each `Key` or `Key=size`, then after ':' the units it uses in
// order; '-' marks an implementation entry. Entry k of a unit stands on line k + 1 of
// /src/Key.pas. Names that are not declared as units are dropped, as unknown names are.
#include "analysis/UnitGraph.h"
#include "support/Textutil.h"

#include <sstream>
#include <string>

namespace ut::testing {

inline UnitGraph MakeGraph(const std::string& text, const std::string& root = "P") {
    std::vector<std::string> declarations;
    SplitToList(text, ";", declarations);
    std::vector<ResultUnit> units;
    bool sizes = false;
    for (const std::string& d : declarations) {
        const size_t colon = d.find(':');
        std::string head = Trim(d.substr(0, colon));
        ResultUnit u;
        const size_t eq = head.find('=');
        if (eq != std::string::npos) {
            u.Size = std::stoll(head.substr(eq + 1));
            sizes = true;
            head.resize(eq);
        }
        u.Key = head;
        u.FileName = "/src/" + head + ".pas";
        std::istringstream uses(colon == std::string::npos ? "" : d.substr(colon + 1));
        std::string name;
        for (int line = 1; uses >> name; ++line) {
            const bool impl = name[0] == '-';
            u.Uses.push_back({impl ? name.substr(1) : name, !impl, line, {}});
        }
        units.push_back(std::move(u));
    }
    return UnitGraph(std::move(units), root, sizes);
}

} // namespace ut::testing
