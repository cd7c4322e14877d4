#include "config/ProjectOptions.h"

#include "config/IniStringList.h"
#include "platform/FileSystem.h"
#include "support/Textutil.h"

#include <charconv>

namespace ut {

namespace {

/// The integer at the start of `text` after leading blanks, as the whole text; `fallback`
/// when the text is not a (signed, decimal) integer.
int IntOrDefault(const std::string& text, int fallback) {
    size_t b = 0;
    while (b < text.size() && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    const char* first = text.data() + b;
    const char* last = text.data() + text.size();
    if (first != last && *first == '+')
        ++first;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last)
        return fallback;
    return value;
}

bool EndsWithDelimiter(const std::string& dir) {
    return !dir.empty() && (dir.back() == '\\' || dir.back() == '/');
}

} // namespace

std::string OutputExtension(const std::string& projectExt, const std::string& delphiVersion) {
    if (AsciiUpper(projectExt) != ".DPK")
        return ".EXE";
    if (delphiVersion.empty())
        return ".BPL";
    const std::string major = delphiVersion.substr(0, delphiVersion.find('.'));
    return IntOrDefault(major, 5) < 4 ? ".DPL" : ".BPL";
}

TProjectOptions ReadProjectOptions(const std::string& dofName, const std::string& projectExt,
                                   const std::string& delphiVersion) {
    TProjectOptions result;
    if (!fs::FileExists(dofName))
        return result;
    const std::string fullDof = fs::ExpandFileName(dofName);
    const std::string projectDir = fs::ExtractFileDir(fullDof);
    fs::SetCurrentDir(projectDir);

    TIniStringList ini;
    ini.SetIniText(LoadFileText(fullDof));
    result.SearchPath = ini.ReadString(OptionsSection, "SearchPath");
    result.Conditionals = ini.ReadString(OptionsSection, "Conditionals");

    const bool package = AsciiUpper(projectExt) == ".DPK";
    std::string outputDir =
        ini.ReadString(OptionsSection, package ? "PackageDLLOutputDir" : "OutputDir");
    if (!outputDir.empty() && !EndsWithDelimiter(outputDir))
        outputDir += '\\';

    result.MapFileName =
        fs::ExpandFileName(outputDir + fs::ChangeFileExt(fs::ExtractFileName(fullDof), ".MAP"));
    result.ExeName =
        fs::ChangeFileExt(result.MapFileName, OutputExtension(projectExt, delphiVersion));
    result.ProjectDir = fs::IncludeTrailingPathDelimiter(projectDir);
    result.FOptionsRead = true;
    return result;
}

TProjectOptions ProjectOptionsOf(const std::string& projectFile, const std::string& delphiVersion) {
    if (projectFile.empty() || !fs::FileExists(projectFile) ||
        IndexOfExt(projectFile, {".dpr", ".dpk"}) < 0)
        return {};
    return ReadProjectOptions(fs::ChangeFileExt(projectFile, ".DOF"), ExtractFileExt(projectFile),
                              delphiVersion);
}

} // namespace ut
