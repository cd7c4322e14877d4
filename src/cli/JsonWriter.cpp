#include "cli/JsonWriter.h"

#include "cli/AnalysisReport.h"
#include "platform/FileSystem.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace ut::cli {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half is Latin-1.
const unsigned short Cp1252High[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

// Length of the valid UTF-8 sequence at `i`, or 0.
size_t Utf8SequenceLength(const std::string& s, size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
    if (c >= 0xF5)
        n = 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

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

} // namespace

std::string ToUtf8(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (const size_t n = Utf8SequenceLength(s, i)) {
            out.append(s, i, n);
            i += n;
        } else {
            AppendUtf8(out, c < 0xA0 ? Cp1252High[c - 0x80] : c);
            ++i;
        }
    }
    return out;
}

std::string ScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                           const std::vector<LogEntry>& log) {
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
    json inputs = {
        {"compiler", CompilerName(scan.Inputs.Compiler)},
        {"version", ToUtf8(scan.Inputs.Delphi)},
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
    inputs["config"] = orNull(scan.FConfig);
    inputs["platform"] = orNull(scan.FPlatform);
    if (!scan.FMapFileName.empty() && fs::FileExists(scan.FMapFileName))
        inputs["mapFile"] = ToUtf8(scan.FMapFileName);
    else
        inputs["mapFile"] = nullptr;

    // The two long arrays are written an element at a time, so a large project never holds
    // its whole document as a tree of values.
    std::string out = "{\n";
    out += "  \"project\": " + json(ToUtf8(summary.Project)).dump() + ",\n";
    out += "  \"completed\": " + json(summary.Completed).dump() + ",\n";
    out += "  \"inputs\": " + inputs.dump() + ",\n";
    out += "  \"units\": [";
    for (int i = 0; i < scan.FUnits.Count(); ++i) {
        const TUnit& u = *scan.FUnits.Objects(i);
        json uses = json::array();
        for (int k = 0; k < u.Uses.Count(); ++k) {
            const std::string& name = u.Uses[k];
            json entry = {{"name", ToUtf8(name)}, {"interface", u.Uses.Objects(k) != 0}};
            const TUseSite& site = u.UseSites[static_cast<size_t>(k)];
            entry["line"] = site.Line;
            if (!site.File.empty())
                entry["file"] = ToUtf8(site.File);
            if (site.Condition)
                entry["conditions"] = strings(site.Conditions());
            int idx = 0;
            if (scan.IsIgnored(name)) {
                entry["status"] = "ignored";
                entry["key"] = nullptr;
            } else if (const std::string& as = scan.ResolvedName(name); scan.FUnits.Find(as, idx)) {
                entry["status"] = "unit";
                entry["key"] = ToUtf8(scan.FUnits[idx]);
                if (as != name)
                    entry["resolvedAs"] = ToUtf8(as);
            } else {
                entry["status"] = "unknown";
                entry["key"] = nullptr;
            }
            uses.push_back(std::move(entry));
        }
        json unit = {{"key", ToUtf8(scan.FUnits[i])},
                     {"name", ToUtf8(u.UnitName)},
                     {"kind", KindName(u.Kind)},
                     {"file", ToUtf8(u.FileName)},
                     {"hasForm", u.HasForm}};
        int at = 0;
        if (scan.FUnitSizes.Find(scan.FUnits[i], at) || scan.FUnitSizes.Find(u.UnitName, at))
            unit["size"] = scan.FUnitSizes.Objects(at);
        else
            unit["size"] = nullptr;
        if (summary.Analysis && summary.Analysis->Graph().HasSizes()) {
            const auto exclusive = summary.Analysis->ExclusiveSize(&u);
            unit["exclusiveSize"] = exclusive ? json(*exclusive) : json(nullptr);
        }
        unit["uses"] = std::move(uses);
        out += i ? ",\n    " : "\n    ";
        out += unit.dump();
    }
    out += scan.FUnits.Count() ? "\n  ],\n" : "],\n";
    out += "  \"notFound\": " + strings(scan.FNotFoundNames).dump() + ",\n";
    if (const DependencyAnalysis* analysis = summary.Analysis) {
        out += "  \"cycles\": " + CyclesJson(*analysis).dump() + ",\n";
        if (summary.WhyUnit >= 0)
            out += "  \"why\": " + WhyJson(*analysis, summary.WhyUnit).dump() + ",\n";
        if (!analysis->Graph().HasSizes())
            out += "  \"notes\": [\"exclusive sizes absent: the map file gave no unit sizes\"],\n";
    }
    out += "  \"log\": [";
    for (size_t i = 0; i < log.size(); ++i) {
        const LogEntry& e = log[i];
        const char* style = (e.Style & lsItalic) ? "italic" : (e.Style & lsBold) ? "bold" : "plain";
        out += i ? ",\n    " : "\n    ";
        out += json{{"depth", e.Depth}, {"text", ToUtf8(e.Text)}, {"style", style}}.dump();
    }
    out += log.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

} // namespace ut::cli
