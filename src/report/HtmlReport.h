#pragma once
// The scan's result as one self-contained HTML page: inline style and script, nothing
// fetched. A summary, a sortable table of the units, the cycles with their cuts, the matrix
// grouped by folder with collapsible groups, the uses hygiene verdicts and a treemap of the
// exclusive sizes when they are known.
#include "analysis/Cycles.h"
#include "analysis/DependencyAnalysis.h"
#include "analysis/EntryCosts.h"
#include "symbols/Hygiene.h"

#include <string>
#include <vector>

namespace ut::report {

/// One uses entry's hygiene verdict, for the page.
struct HygieneLine {
    std::string Unit;    ///< the unit whose uses list holds the entry
    std::string Used;    ///< the name as written
    std::string Verdict; ///< "keep", "move", "remove", "unknown"
    std::string Reasons; ///< why, as text
    std::string File;
    int Line = 0;
};

/// What the page shows beside the analysis; an empty list leaves its column or section out.
struct HtmlReportInputs {
    std::string Project;
    bool Completed = true;
    std::vector<std::string> NotFound;
    /// Per node: the units a change to it recompiles.
    std::vector<int> Recompile;
    /// Per cycle of the analysis: the uses entries whose removal breaks it.
    std::vector<std::vector<CycleEdge>> Cuts;
    /// The verdicts of the uses hygiene, when it ran.
    std::vector<HygieneLine> Hygiene;
    bool HygieneRan = false;
};

/// Fills the recompile reach, the cheapest cuts of each cycle (weighed by `costs`) and, when
/// `hygiene` is given, the verdicts of its judged entries.
void AddAnalysisInputs(HtmlReportInputs& inputs, const ProjectScan& scan,
                       const DependencyAnalysis& analysis, const EntryCosts& costs,
                       const THygiene* hygiene);

/// The page. Names that are not UTF-8 are read as Windows-1252.
std::string HtmlReport(const DependencyAnalysis& analysis, const HtmlReportInputs& inputs);

/// The page's fixed parts: up to the title's text, from there to the data, the script after
/// the data.
extern const char* const HtmlPageHead;
extern const char* const HtmlPageBody;
extern const char* const HtmlPageScript;

} // namespace ut::report
