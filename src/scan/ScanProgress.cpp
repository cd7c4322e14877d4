// What a scan tells its front end as it goes: the log, the unit counter and titles, and the
// pauses in which Escape (or Ctrl+C) is noticed.
#include "scan/ProjectScan.h"

#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

namespace ut {

void ProjectScan::UpdateProgress() {
    const int n = FUnits.Count();
    const std::string text = Format("%3d units parsed...", n);
    if (n == 0) {
        FFrontEnd.ShowUnitCount(text, false);
        FFrontEnd.SetApplicationTitle("Uni-Trace");
        FFrontEnd.SetCaption("Uni-Trace");
    } else {
        FFrontEnd.ShowUnitCount(text, true);
        if (n == 1) {
            FFrontEnd.SetApplicationTitle("(Parsing...)");
            FFrontEnd.SetCaption(fs::ExpandFileName(Inputs.Project));
        }
    }
}

void ProjectScan::Log(const std::string& text, LogStyle style) {
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        FFrontEnd.AppendLog(LogLine{FLogDepth, std::move(line), style});
        if (end == std::string::npos)
            return;
        start = end + 1;
    }
}

void ProjectScan::CheckAbort() {
    if (FFrontEnd.ProcessEvents()) {
        Log("Aborted!", lsItalic);
        throw EAbort();
    }
}

void ProjectScan::LogException(const std::string& fileName, const std::string& message) {
    Log(Format("EXC: File=%s, Msg=%s", fileName.c_str(), message.c_str()), lsItalic);
}

void ProjectScan::AppException(const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e))
        return;
    try {
        LogException(FCurrentKey, e.what());
    } catch (...) {
        // The handler of last resort never fails.
    }
}

} // namespace ut
