// libFuzzer target: every text that reaches a JSON document, whatever its bytes, leaves it as
// well-formed UTF-8. A scan of a project whose directory, symbols and sources come from the
// input is written as --format json writes it (cycles and a why-path included) and must
// parse back strictly; so must the diff of that document, read back, against a document of
// the input's own bytes.
//
// Input layout, in fields ended by NUL: the project's directory name, the conditional
// symbols (also the search path), the project source P.dpr, the unit U.pas, a document.
#include "FuzzSupport.h"

#include "analysis/DependencyAnalysis.h"
#include "platform/FileSystem.h"
#include "report/DiffReport.h"
#include "report/JsonWriter.h"
#include "report/ResultReader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <tuple>

namespace {

class LogOnly : public ut::ScanFrontEnd {
  public:
    void AppendLog(const ut::LogLine& line) override { Log.push_back(line); }
    std::vector<ut::LogLine> Log;
};

bool StrictJson(const std::string& text) {
    return nlohmann::json::accept(text); // refuses ill-formed UTF-8
}

std::optional<ut::UnitGraph> ReadBack(const std::string& name, std::string_view bytes) {
    try {
        return ut::report::ReadResultGraph(ut::fuzz::WriteTempFile(name, bytes));
    } catch (const ut::report::EResultError&) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string f[5];
    for (std::string& field : f)
        std::tie(field, rest) = ut::fuzz::SplitAtNul(rest);
    // One directory: no separator, not "." or "..".
    std::string dir = "d" + f[0].substr(0, 100);
    std::replace(dir.begin(), dir.end(), '/', '_');
    std::filesystem::remove_all(ut::fuzz::TempDir() + "/" + dir);
    std::filesystem::create_directory(ut::fuzz::TempDir() + "/" + dir);
    const std::string project = ut::fuzz::WriteTempFile(dir + "/P.dpr", f[2]);
    ut::fuzz::WriteTempFile(dir + "/U.pas", f[3]);

    static const std::string cwd = ut::fs::GetCurrentDir();
    LogOnly frontEnd;
    ut::ProjectScan scan(frontEnd);
    scan.Inputs.Project = project;
    scan.Inputs.Defines = scan.Inputs.SearchPath = f[1];
    ut::report::ScanSummary summary;
    summary.Project = project;
    try {
        summary.Completed = scan.ScanProject(project);
    } catch (const std::exception& e) {
        scan.AppException(e);
    }
    ut::fs::SetCurrentDir(cwd); // the scan makes the sources' directories current
    std::optional<ut::DependencyAnalysis> analysis;
    if (scan.FProject) {
        summary.Analysis = &analysis.emplace(scan);
        summary.WhyUnit = analysis->Graph().Find("U");
    }
    const std::string document = ut::report::ScanResultJson(scan, summary, frontEnd.Log);
    ut::fuzz::Check(StrictJson(document), "the scan's document is not strict JSON");
    const std::optional<ut::UnitGraph> written = ReadBack("written.json", document);
    ut::fuzz::Check(written.has_value(), "the scan's document does not read back");
    const std::optional<ut::UnitGraph> other = ReadBack("other.json", f[4]);
    const ut::ResultDiff diff = ut::DiffResults(other ? *other : *written, *written);
    ut::fuzz::Check(StrictJson(ut::report::DiffJson(diff)), "the diff is not strict JSON");
    (void)ut::report::DiffText(diff);
    return 0;
}
