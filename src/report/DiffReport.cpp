#include "report/DiffReport.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace ut::report {

namespace {

std::string Joined(const std::vector<std::string>& names, const char* separator = ", ") {
    std::string s;
    for (const std::string& n : names)
        s += (s.empty() ? "" : separator) + n;
    return s;
}

// "A, B and C, D": the old cycles a grown cycle overlaps.
std::string Was(const DiffCycle& c) {
    std::vector<std::string> cycles;
    for (const auto& units : c.Was)
        cycles.push_back(Joined(units));
    return Joined(cycles, " and ");
}

std::string Section(const char* title, const std::vector<std::string>& lines) {
    if (lines.empty())
        return {};
    std::string s = std::string(title) + ":\n";
    for (const std::string& line : lines)
        s += "  " + line + '\n';
    return s;
}

std::vector<std::string> EdgeLines(const std::vector<DiffEdge>& edges) {
    std::vector<std::string> lines;
    for (const DiffEdge& e : edges)
        lines.push_back(e.From + " -> " + e.To +
                        (e.Interface ? "  (interface)" : "  (implementation)"));
    return lines;
}

nlohmann::ordered_json EdgesJson(const std::vector<DiffEdge>& edges) {
    nlohmann::ordered_json a = nlohmann::ordered_json::array();
    for (const DiffEdge& e : edges)
        a.push_back({{"from", e.From}, {"to", e.To}, {"interface", e.Interface}});
    return a;
}

nlohmann::ordered_json CyclesJson(const std::vector<DiffCycle>& cycles, bool grown) {
    nlohmann::ordered_json a = nlohmann::ordered_json::array();
    for (const DiffCycle& c : cycles) {
        nlohmann::ordered_json cycle = {{"units", c.Units}, {"interface", c.Interface}};
        if (grown)
            cycle["was"] = c.Was;
        a.push_back(std::move(cycle));
    }
    return a;
}

} // namespace

std::string DiffText(const ResultDiff& d) {
    std::vector<std::string> sizes, fresh, grown;
    for (const DiffSize& z : d.SizeChanges) {
        const std::int64_t delta = z.New - z.Old;
        sizes.push_back(z.Unit + ": " + std::to_string(z.Old) + " -> " + std::to_string(z.New) +
                        " (" + (delta > 0 ? "+" : "") + std::to_string(delta) + ")");
    }
    for (const DiffCycle& c : d.NewCycles)
        fresh.push_back(Joined(c.Units) + (c.Interface ? "  (interface)" : ""));
    for (const DiffCycle& c : d.GrownCycles)
        grown.push_back(Joined(c.Units) + "  (" + (c.Interface ? "interface; " : "") + "was " +
                        Was(c) + ")");
    std::string s = Section("Units added", d.UnitsAdded) +
                    Section("Units removed", d.UnitsRemoved) +
                    Section("Uses added", EdgeLines(d.UsesAdded)) +
                    Section("Uses removed", EdgeLines(d.UsesRemoved)) +
                    Section("Sizes changed", sizes) + Section("New cycles", fresh) +
                    Section("Grown cycles", grown) + Section("Not found, added", d.NotFoundAdded) +
                    Section("Not found, removed", d.NotFoundRemoved);
    return s.empty() ? "No differences\n" : s;
}

std::string DiffJson(const ResultDiff& d) {
    nlohmann::ordered_json sizes = nlohmann::ordered_json::array();
    for (const DiffSize& z : d.SizeChanges)
        sizes.push_back({{"unit", z.Unit}, {"old", z.Old}, {"new", z.New}});
    const nlohmann::ordered_json doc = {{"unitsAdded", d.UnitsAdded},
                                        {"unitsRemoved", d.UnitsRemoved},
                                        {"usesAdded", EdgesJson(d.UsesAdded)},
                                        {"usesRemoved", EdgesJson(d.UsesRemoved)},
                                        {"sizeChanges", std::move(sizes)},
                                        {"newCycles", CyclesJson(d.NewCycles, false)},
                                        {"grownCycles", CyclesJson(d.GrownCycles, true)},
                                        {"notFoundAdded", d.NotFoundAdded},
                                        {"notFoundRemoved", d.NotFoundRemoved}};
    return doc.dump(2) + '\n';
}

bool ReportDiffGates(const std::vector<std::string>& failOn, const ResultDiff& diff,
                     std::FILE* err) {
    bool failed = false;
    auto has = [&](const char* gate) {
        return std::find(failOn.begin(), failOn.end(), gate) != failOn.end();
    };
    if (has("new-cycles")) {
        for (const DiffCycle& c : diff.NewCycles)
            std::fprintf(err, "new-cycles: %s\n", Joined(c.Units).c_str());
        for (const DiffCycle& c : diff.GrownCycles)
            std::fprintf(err, "new-cycles: %s (grew from %s)\n", Joined(c.Units).c_str(),
                         Was(c).c_str());
        failed = !diff.NewCycles.empty() || !diff.GrownCycles.empty();
    }
    if (has("new-units")) {
        for (const std::string& unit : diff.UnitsAdded)
            std::fprintf(err, "new-units: %s\n", unit.c_str());
        failed = failed || !diff.UnitsAdded.empty();
    }
    return failed;
}

} // namespace ut::report
