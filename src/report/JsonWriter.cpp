#include "report/JsonWriter.h"

#include "platform/FileSystem.h"
#include "report/CutsJson.h"
#include "report/HygieneReport.h"
#include "report/WhyReport.h"
#include "support/Utf8.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace ut::report {

namespace {

const char* KindName(int kind) {
    switch (kind) {
    case ukUnit:
        return "unit";
    case ukProgram:
        return "program";
    case ukPackage:
        return "package";
    case ukLibrary:
        return "library";
    default:
        return "none";
    }
}

// [{"units", "interface", "edges": [{"from", "to", "interface"}], "cuts", "exact",
// "interfaceCuts"}], each cycle as it comes.
void WriteCycles(JsonStream& j, const DependencyAnalysis& analysis, const EntryCosts& costs) {
    const UnitGraph& g = analysis.Graph();
    j.Raw("[");
    bool firstCycle = true;
    for (const UnitCycle& c : analysis.Cycles().Cycles) {
        j.Raw(firstCycle ? "{\"units\":[" : ",{\"units\":[");
        firstCycle = false;
        for (size_t i = 0; i < c.Units.size(); ++i)
            j.Raw(i ? "," : "").String(g.Node(c.Units[i]).Key);
        j.Raw("],\"interface\":").Bool(c.Interface).Raw(",\"edges\":[");
        for (size_t i = 0; i < c.Edges.size(); ++i) {
            const CycleEdge& e = c.Edges[i];
            j.Raw(i ? ",{\"from\":" : "{\"from\":").String(g.Node(e.From).Key);
            j.Raw(",\"to\":").String(g.Node(e.To).Key);
            j.Raw(",\"interface\":").Bool(e.Interface).Raw("}");
        }
        j.Raw("]");
        WriteCycleCuts(j, g, c, CutCycle(g, c, costs));
        j.Raw("}");
    }
    j.Raw("]");
}

} // namespace

void WriteScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                         const std::vector<LogLine>& log, const JsonStream::Sink& sink) {
    using json = nlohmann::ordered_json;
    auto strings = [](const auto& list) {
        json a = json::array();
        for (const auto& s : list)
            a.push_back(ToUtf8(s));
        return a;
    };
    json constants = json::object();
    if (scan.FSymbols)
        for (const auto& [name, value] : scan.FSymbols->Constants())
            constants[ToUtf8(name)] = value;
    const bool fpc = scan.Inputs.Compiler == TCompiler::FreePascal;
    json inputs = {
        {"compiler", CompilerName(scan.Inputs.Compiler)},
        {"version", ToUtf8(fpc ? scan.FFpcTarget.Version : scan.Inputs.Delphi)},
        {"searchPath", ToUtf8(scan.Inputs.SearchPath)},
        {"libPath", ToUtf8(scan.Inputs.LibPath)},
        {"browsePath", ToUtf8(scan.Inputs.BrowsePath)},
        {"useBrowsePath", scan.Inputs.BrowseAlso},
        {"defines", strings(scan.FDefines)},
        {"constants", std::move(constants)},
        {"includePath", ToUtf8(scan.Inputs.IncludePath)},
        {"directories", strings(summary.Directories)},
        {"ignored", strings(scan.IgnUnits.Lines().ToVector())},
        {"unitScopes", ToUtf8(scan.Inputs.UnitScopes)},
    };
    auto orNull = [](const std::string& s) { return s.empty() ? json(nullptr) : json(ToUtf8(s)); };
    if (fpc) {
        inputs["target"] = ToUtf8(scan.FFpcTarget.CPU + "-" + scan.FFpcTarget.OS);
        inputs["mode"] = scan.FSymbols ? SyntaxModeName(scan.FSymbols->Mode) : std::string();
    }
    inputs["config"] = orNull(scan.FConfig);
    inputs["platform"] = orNull(scan.FPlatform);
    if (!scan.FMapFileName.empty() && fs::FileExists(scan.FMapFileName))
        inputs["mapFile"] = ToUtf8(scan.FMapFileName);
    else
        inputs["mapFile"] = nullptr;

    // Everything but the inputs is written as it is visited, so a large project never holds
    // its document, whole or as a tree of values.
    JsonStream j(sink);
    j.Raw("{\n  \"project\": ").String(summary.Project);
    j.Raw(",\n  \"completed\": ").Bool(summary.Completed);
    j.Raw(",\n  \"inputs\": ").Raw(inputs.dump());
    j.Raw(",\n  \"units\": [");
    const bool exclusiveSizes = summary.Analysis && summary.Analysis->Graph().HasSizes();
    for (int i = 0; i < scan.FUnits.Count(); ++i) {
        const TUnit& u = *scan.FUnits.Objects(i);
        j.Raw(i ? ",\n    " : "\n    ");
        j.Raw("{\"key\":").String(scan.FUnits[i]);
        j.Raw(",\"name\":").String(u.UnitName);
        j.Raw(",\"kind\":").String(KindName(u.Kind));
        j.Raw(",\"file\":").String(u.FileName);
        j.Raw(",\"hasForm\":").Bool(u.HasForm);
        j.Raw(",\"size\":");
        int at = 0;
        if (scan.FUnitSizes.Find(scan.FUnits[i], at) || scan.FUnitSizes.Find(u.UnitName, at))
            j.Number(scan.FUnitSizes.Objects(at));
        else
            j.Null();
        if (exclusiveSizes) {
            j.Raw(",\"exclusiveSize\":");
            if (const auto exclusive = summary.Analysis->ExclusiveSize(&u))
                j.Number(*exclusive);
            else
                j.Null();
        }
        const TUnitHygiene* hygiene = summary.Hygiene ? summary.Hygiene->Of(&u) : nullptr;
        if (hygiene && !hygiene->Notes.empty())
            j.Raw(",\"hygieneNotes\":").Raw(strings(hygiene->Notes).dump());
        if (summary.Analysis)
            WriteUnitReach(j, *summary.Analysis, summary.Analysis->Graph().NodeOf(&u));
        j.Raw(",\"uses\":[");
        for (int k = 0; k < u.Uses.Count(); ++k) {
            const std::string& name = u.Uses[k];
            const TUseSite& site = u.UseSites[static_cast<size_t>(k)];
            j.Raw(k ? ",{\"name\":" : "{\"name\":").String(name);
            j.Raw(",\"interface\":").Bool(u.Uses.Objects(k) != 0);
            j.Raw(",\"line\":").Number(site.Line);
            if (!site.File.empty())
                j.Raw(",\"file\":").String(site.File);
            if (site.Condition)
                j.Raw(",\"conditions\":").Raw(strings(site.Conditions()).dump());
            int idx = 0;
            if (scan.IsIgnored(name)) {
                j.Raw(",\"status\":\"ignored\",\"key\":null");
            } else if (const std::string& as = scan.ResolvedName(name); scan.FUnits.Find(as, idx)) {
                j.Raw(",\"status\":\"unit\",\"key\":").String(scan.FUnits[idx]);
                if (as != name)
                    j.Raw(",\"resolvedAs\":").String(as);
            } else {
                j.Raw(",\"status\":\"unknown\",\"key\":null");
            }
            if (hygiene)
                WriteEntryHygiene(j, *hygiene, static_cast<size_t>(k));
            j.Raw("}");
        }
        j.Raw("]}");
    }
    j.Raw(scan.FUnits.Count() ? "\n  ],\n" : "],\n");
    j.Raw("  \"notFound\": ").Raw(strings(scan.FNotFoundNames).dump()).Raw(",\n");
    if (const DependencyAnalysis* analysis = summary.Analysis) {
        j.Raw("  \"cycles\": ");
        WriteCycles(j, *analysis, summary.Costs ? *summary.Costs : EntryCosts());
        j.Raw(",\n");
        if (summary.WhyUnit >= 0)
            j.Raw("  \"why\": ").Raw(WhyJson(*analysis, summary.WhyUnit).dump()).Raw(",\n");
        else if (!summary.WhyName.empty())
            j.Raw("  \"why\": ").Raw(WhyNameJson(*analysis, summary.WhyName).dump()).Raw(",\n");
        if (!analysis->Graph().HasSizes())
            j.Raw("  \"notes\": [\"exclusive sizes absent: the map file gave no unit sizes\"],\n");
    }
    for (const auto& [name, section] : summary.Sections)
        j.Raw("  ").String(name).Raw(": ").Raw(section.dump()).Raw(",\n");
    j.Raw("  \"log\": [");
    for (size_t i = 0; i < log.size(); ++i) {
        const LogLine& e = log[i];
        const char* style = (e.Style & lsItalic) ? "italic" : (e.Style & lsBold) ? "bold" : "plain";
        j.Raw(i ? ",\n    " : "\n    ");
        j.Raw("{\"depth\":").Number(e.Depth);
        j.Raw(",\"text\":").String(e.Text);
        j.Raw(",\"style\":").String(style).Raw("}");
    }
    j.Raw(log.empty() ? "]\n}\n" : "\n  ]\n}\n");
    j.Flush();
}

std::string ScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                           const std::vector<LogLine>& log) {
    std::string document;
    WriteScanResultJson(scan, summary, log, [&](std::string_view piece) { document += piece; });
    return document;
}

} // namespace ut::report
