#include "report/Gates.h"

#include <algorithm>

namespace ut::report {

namespace {

bool Has(const std::vector<std::string>& list, const char* name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

std::string Names(const UnitGraph& graph, const std::vector<int>& nodes) {
    std::string s;
    for (const int v : nodes)
        s += (s.empty() ? "" : ", ") + graph.Node(v).Key;
    return s;
}

} // namespace

bool ReportGates(const std::vector<std::string>& failOn, const ProjectScan& scan,
                 const DependencyAnalysis& analysis, const std::vector<LogLine>& log,
                 std::FILE* err) {
    bool failed = false;
    auto offender = [&](const char* gate, const std::string& text) {
        std::fprintf(err, "%s: %s\n", gate, text.c_str());
        failed = true;
    };
    const bool interfaceGate = Has(failOn, "interface-cycles");
    const bool cycleGate = Has(failOn, "cycles");
    // A circular reference is one offender, named by the stricter gate that asks for it.
    for (const UnitCycle& c : analysis.Cycles().Cycles)
        if (interfaceGate && c.Interface)
            offender("interface-cycles", Names(analysis.Graph(), c.Units));
        else if (cycleGate)
            offender("cycles", Names(analysis.Graph(), c.Units));
    if (Has(failOn, "not-found"))
        for (const std::string& name : scan.FNotFoundNames)
            offender("not-found", name);
    if (Has(failOn, "exc"))
        for (const LogLine& e : log)
            if (e.Text.rfind("EXC: ", 0) == 0)
                offender("exc", e.Text);
    return failed;
}

} // namespace ut::report
