#include "config/ProjectOptions.h"

#include "config/DprojFile.h"
#include "config/IniStringList.h"
#include "platform/FileReader.h"
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

namespace {

/// The program or package source of a .dproj's base name beside it; empty when none.
std::string SiblingSource(const std::string& dproj) {
    for (const char* ext : {".dpr", ".dpk"}) {
        const std::string source = fs::ChangeFileExt(dproj, ext);
        if (fs::FileExists(source))
            return fs::ExpandFileName(source);
    }
    return {};
}

std::string DprojOutputExtension(const std::string& sourceExt, const std::string& appType,
                                 const std::string& delphiVersion) {
    if (SameText(appType, "Library"))
        return ".dll";
    if (SameText(appType, "Package"))
        return ".bpl";
    return AsciiLower(OutputExtension(sourceExt, delphiVersion));
}

} // namespace

TProjectOptions ReadDprojOptions(const std::string& dprojName, const TOptionsChoice& choice,
                                 const std::string& sourceFile) {
    TProjectOptions result;
    const std::string full = fs::ExpandFileName(dprojName);
    const std::string dir = fs::ExtractFileDir(full);
    fs::SetCurrentDir(dir);
    const TDprojSettings d =
        ReadDproj(full, {choice.Config, choice.Platform, choice.BdsRoot, choice.Environment});
    result.Notes = d.Notes;
    result.UnknownVariables = d.UnknownVariables;

    std::string source = sourceFile;
    if (source.empty()) {
        if (!d.MainSource.empty())
            source = fs::ExpandFileName(d.MainSource);
        // A main source that is not there is still named, so the error says which.
        if (source.empty() || !fs::FileExists(source))
            if (std::string sibling = SiblingSource(full); !sibling.empty())
                source = std::move(sibling);
        result.MainSource = source;
    }
    if (!d.Read)
        return result;

    result.SearchPath = d.UnitSearchPath;
    result.Conditionals = d.Defines;
    result.UnitScopes = d.UnitScopes;
    result.Config = d.Config;
    result.Platform = d.Platform;
    result.Configs = d.Configs;
    result.Platforms = d.Platforms;
    for (const std::string& reference : d.References)
        if (SameText(ExtractFileExt(reference), ".pas"))
            result.References.push_back(fs::ExpandFileName(reference));

    const std::string sourceExt = ExtractFileExt(source);
    const bool package = SameText(sourceExt, ".dpk") || SameText(d.AppType, "Package");
    std::string outputDir = package ? d.BplOutput : d.ExeOutput;
    if (!outputDir.empty() && !EndsWithDelimiter(outputDir))
        outputDir += '\\';
    const std::string name = fs::FileKey(source.empty() ? full : source);
    if (!d.MapFile.empty() && d.MapFile != "0")
        result.MapFileName = fs::ExpandFileName(outputDir + name + ".map");
    result.ExeName = fs::ExpandFileName(
        outputDir + name + DprojOutputExtension(sourceExt, d.AppType, choice.DelphiVersion));
    result.ProjectDir = fs::IncludeTrailingPathDelimiter(dir);
    result.OptionsFile = full;
    result.FOptionsRead = true;
    return result;
}

TProjectOptions ProjectOptionsOf(const std::string& projectFile, const TOptionsChoice& choice) {
    if (projectFile.empty() || !fs::FileExists(projectFile))
        return {};
    const int kind = IndexOfExt(projectFile, {".dpr", ".dpk", ".dproj"});
    if (kind < 0)
        return {};
    if (kind == 2)
        return ReadDprojOptions(projectFile, choice);
    const std::string dproj = fs::ChangeFileExt(projectFile, ".dproj");
    std::vector<std::string> notes;
    if (fs::FileExists(dproj)) {
        TProjectOptions options = ReadDprojOptions(dproj, choice, fs::ExpandFileName(projectFile));
        if (options.FOptionsRead)
            return options;
        notes = std::move(options.Notes);
    }
    TProjectOptions options = ReadProjectOptions(fs::ChangeFileExt(projectFile, ".DOF"),
                                                 ExtractFileExt(projectFile), choice.DelphiVersion);
    options.Notes = std::move(notes);
    return options;
}

TProjectOptions ProjectOptionsOf(const std::string& projectFile, const std::string& delphiVersion) {
    return ProjectOptionsOf(projectFile, TOptionsChoice{delphiVersion, {}, {}, {}, {}});
}

} // namespace ut
