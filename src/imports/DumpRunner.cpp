#include "imports/DumpRunner.h"

#include "platform/Arguments.h"
#include "platform/NativePath.h"
#include "platform/TempFile.h"
#include "support/Exceptions.h"
#include "support/StreamLineReader.h"
#include "support/Textutil.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace ut {

namespace {

constexpr std::string_view ImportsPrefix = "Imports from";

/// Calls the busy hook on construction and again when the scope ends.
class TBusyScope {
  public:
    explicit TBusyScope(const std::function<void(bool)>& hook) : FHook(hook) {
        if (FHook)
            FHook(true);
    }
    ~TBusyScope() {
        if (FHook)
            FHook(false);
    }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

  private:
    const std::function<void(bool)>& FHook;
};

/// Removes the temporary file when the scope ends; a failing removal is ignored.
class TTempFileScope {
  public:
    explicit TTempFileScope(const std::string& name) : FName(name) {}
    ~TTempFileScope() {
        if (!FName.empty())
            std::remove(FName.c_str());
    }
    TTempFileScope(const TTempFileScope&) = delete;
    TTempFileScope& operator=(const TTempFileScope&) = delete;

  private:
    std::string FName;
};

} // namespace

std::string FindDumpTool(const std::string& appDir, const std::string& searchPath) {
    if (!appDir.empty()) {
        const std::string beside =
            appDir + (appDir.back() == '/' ? "" : "/") + std::string(DumpToolName);
        if (platform::IsExecutableFile(beside))
            return beside;
    }
    return platform::FindOnPath(DumpToolName, searchPath);
}

std::string FindDumpTool(const std::string& appDir) {
    return FindDumpTool(appDir, platform::EnvironmentVariable("PATH"));
}

platform::TProcessResult RunAndWait(const std::vector<std::string>& argv,
                                    const std::string& outFile, std::chrono::milliseconds timeLimit,
                                    const std::atomic<bool>* cancel) {
    return platform::RunProcess(argv, outFile, timeLimit, cancel);
}

std::vector<std::string> ReadDumpOutput(std::istream& in) {
    std::vector<std::string> names;
    TStreamLineReader reader(&in);
    std::string line;
    while (reader.ReadLine(line)) {
        if (!SameTextN(line, ImportsPrefix, ImportsPrefix.size()))
            continue;
        std::string name = Trim(std::string_view(line).substr(std::min<size_t>(line.size(), 13)));
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> ReadDumpOutput(const std::string& fileName) {
    std::ifstream in(platform::NativePath(fileName), std::ios::binary);
    if (!in)
        return {};
    return ReadDumpOutput(in);
}

TDumpResult ListImports(const std::string& fileName, const TDumpOptions& options) {
    const TBusyScope busy(options.OnBusy);
    TDumpResult result;
    if (options.ToolPath.empty()) {
        result.Status = TDumpStatus::NotStarted;
        result.Message = Format("The dump tool %s was not found", DumpToolName);
        return result;
    }
    std::string tempName;
    platform::MakeTempFileName("usg", tempName);
    const TTempFileScope removeTemp(tempName);
    if (tempName.empty()) {
        result.Status = TDumpStatus::NoTempFile;
        result.Message = "Cannot create a temporary file for the dump";
        return result;
    }

    const platform::TProcessResult run =
        RunAndWait({options.ToolPath, "-e", fileName}, tempName, options.TimeLimit, options.Cancel);
    result.ExitCode = run.ExitCode;
    if (!run.Started) {
        result.Status = TDumpStatus::NotStarted;
        result.Message = run.Error;
    } else if (run.Cancelled) {
        result.Status = TDumpStatus::Cancelled;
        result.Message = Format("Listing the imports of %s was stopped", fileName.c_str());
    } else if (run.TimedOut) {
        result.Status = TDumpStatus::TimedOut;
        result.Message =
            Format("%s did not finish within %g s for %s and was stopped", options.ToolPath.c_str(),
                   options.TimeLimit.count() / 1000.0, fileName.c_str());
    } else if (run.ExitCode != 0) {
        result.Status = TDumpStatus::Failed;
        result.Message = Format("%s ended with exit code %d for %s", options.ToolPath.c_str(),
                                run.ExitCode, fileName.c_str());
    } else {
        result.Status = TDumpStatus::Listed;
        result.Imports = ReadDumpOutput(tempName);
    }
    return result;
}

} // namespace ut
