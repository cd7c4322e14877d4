#include "config/LazarusProject.h"

#include "config/Compiler.h"
#include "config/LazarusMacros.h"
#include "config/LazarusPackages.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <pugixml.hpp>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <sstream>

namespace ut {

namespace {

[[noreturn]] void Refuse(const std::string& fileName, const std::string& reason) {
    throw EParserError("Cannot read " + fileName + ": " + reason);
}

// The Value attribute of the element at `path` below `node`.
std::optional<std::string> ValueAt(pugi::xml_node node, std::initializer_list<const char*> path) {
    for (const char* name : path)
        node = node.child(name);
    const pugi::xml_attribute value = node.attribute("Value");
    return value ? std::optional<std::string>(value.value()) : std::nullopt;
}

// The children named `prefix` followed by nothing (newer files: <Item>) or by their
// number (older files: <Item1>, <Item2>), in the order of the file.
std::vector<pugi::xml_node> Items(pugi::xml_node parent, std::string_view prefix) {
    std::vector<pugi::xml_node> items;
    for (pugi::xml_node child : parent.children()) {
        const std::string_view name = child.name();
        if (name.substr(0, prefix.size()) != prefix)
            continue;
        const std::string_view number = name.substr(prefix.size());
        if (number.find_first_not_of("0123456789") == std::string_view::npos)
            items.push_back(child);
    }
    return items;
}

// The compiler options a build mode may set; an absent one leaves the default's.
struct CompilerValues {
    std::optional<std::string> otherUnitFiles, includeFiles, customOptions, targetFile,
        outputDirectory, targetOS, targetCPU, syntaxMode;

    static CompilerValues Of(pugi::xml_node options) {
        return {ValueAt(options, {"SearchPaths", "OtherUnitFiles"}),
                ValueAt(options, {"SearchPaths", "IncludeFiles"}),
                ValueAt(options, {"Other", "CustomOptions"}),
                ValueAt(options, {"Target", "Filename"}),
                ValueAt(options, {"SearchPaths", "UnitOutputDirectory"}),
                ValueAt(options, {"CodeGeneration", "TargetOS"}),
                ValueAt(options, {"CodeGeneration", "TargetCPU"}),
                ValueAt(options, {"Parsing", "SyntaxOptions", "SyntaxMode"})};
    }
    void Override(const CompilerValues& mode) {
        for (auto [mine, theirs] :
             {std::pair{&otherUnitFiles, &mode.otherUnitFiles},
              std::pair{&includeFiles, &mode.includeFiles},
              std::pair{&customOptions, &mode.customOptions},
              std::pair{&targetFile, &mode.targetFile},
              std::pair{&outputDirectory, &mode.outputDirectory},
              std::pair{&targetOS, &mode.targetOS}, std::pair{&targetCPU, &mode.targetCPU},
              std::pair{&syntaxMode, &mode.syntaxMode}})
            if (*theirs)
                *mine = *theirs;
    }
};

bool IsTrueValue(const char* value) {
    return SameText(value, "True");
}

// The options of the build mode `name` over those of `defaults`; returns the mode's node.
pugi::xml_node ApplyBuildMode(pugi::xml_node projectOptions, const std::string& name,
                              const std::string& fileName, CompilerValues& values) {
    for (pugi::xml_node mode : Items(projectOptions.child("BuildModes"), "Item")) {
        if (!SameText(mode.attribute("Name").value(), name))
            continue;
        if (!IsTrueValue(mode.attribute("Default").value()))
            values.Override(CompilerValues::Of(mode.child("CompilerOptions")));
        return mode;
    }
    Refuse(fileName, "no build mode \"" + name + "\"");
}

// The macro values a build mode sets: the shared matrix options of type IDEMacro that name
// it (or no mode at all), then its own MacroValues.
std::vector<std::pair<std::string, std::string>> MacroValuesOf(pugi::xml_node projectOptions,
                                                               pugi::xml_node mode) {
    std::vector<std::pair<std::string, std::string>> values;
    const std::string name = mode.attribute("Name").value();
    for (pugi::xml_node item :
         Items(projectOptions.child("BuildModes").child("SharedMatrixOptions"), "Item")) {
        std::vector<std::string> modes;
        SplitToList(item.attribute("Modes").value(), ",", modes);
        if (SameText(item.attribute("Type").value(), "IDEMacro") &&
            (modes.empty() || IndexOfText(modes, name) >= 0))
            values.emplace_back(item.attribute("MacroName").value(),
                                item.attribute("Value").value());
    }
    for (pugi::xml_node macro : Items(mode.child("MacroValues"), "Macro"))
        values.emplace_back(macro.attribute("Name").value(), macro.attribute("Value").value());
    return values;
}

// The target the options build for: the compiler's, with the OS and CPU they set.
TFpcTarget TargetOf(const CompilerValues& values, TFpcTarget target) {
    if (values.targetOS && !values.targetOS->empty())
        target.OS = AsciiLower(*values.targetOS);
    if (values.targetCPU && !values.targetCPU->empty())
        target.CPU = AsciiLower(*values.targetCPU);
    return target;
}

// The symbols of the -d options ("-dDEBUG -dLEVEL:=2"), in order.
std::vector<std::string> DefinesOf(const std::string& customOptions) {
    std::vector<std::string> defines;
    std::istringstream words(customOptions);
    for (std::string w; words >> w;) {
        if (w.size() >= 2 && w.front() == '"' && w.back() == '"')
            w = w.substr(1, w.size() - 2);
        if (w.compare(0, 2, "-d") != 0)
            continue;
        std::string name = w.substr(2, w.find(":=") - 2);
        if (!name.empty())
            defines.push_back(std::move(name));
    }
    return defines;
}

// The main source of a project: the unit the file marks as main (the first by default).
std::string MainUnitOf(pugi::xml_node projectOptions) {
    const std::string index = ValueAt(projectOptions, {"General", "MainUnit"}).value_or("0");
    if (index.empty() || index.size() > 6 ||
        index.find_first_not_of("0123456789") != std::string::npos)
        return {};
    const std::vector<pugi::xml_node> units = Items(projectOptions.child("Units"), "Unit");
    const size_t i = std::stoul(index);
    return i < units.size() ? ValueAt(units[i], {"Filename"}).value_or("") : std::string();
}

std::vector<TLazarusFile::Unit> UnitsOf(pugi::xml_node package, const TLazarusMacros& macros,
                                        std::vector<std::string>& unknown) {
    std::vector<TLazarusFile::Unit> units;
    for (pugi::xml_node item : Items(package.child("Files"), "Item")) {
        const std::string file = macros.Expand(ValueAt(item, {"Filename"}).value_or(""), unknown);
        const std::string type = ValueAt(item, {"Type"}).value_or("Unit");
        if ((type != "Unit" && type != "Main Unit") ||
            IndexOfExt(file, UnitFileExtensions(TCompiler::FreePascal)) < 0)
            continue;
        std::string name = ValueAt(item, {"UnitName"}).value_or("");
        units.push_back({name.empty() ? fs::FileKey(fs::ToNative(file)) : name, file});
    }
    return units;
}

// The packages a file requires: a project's RequiredPackages, a package's RequiredPkgs.
std::vector<TLazarusFile::Requirement> RequiredOf(pugi::xml_node root, const TLazarusMacros& macros,
                                                  std::vector<std::string>& unknown) {
    std::vector<TLazarusFile::Requirement> required;
    for (const char* list : {"RequiredPackages", "RequiredPkgs"})
        for (pugi::xml_node item : Items(root.child(list), "Item"))
            if (std::string name = ValueAt(item, {"PackageName"}).value_or(""); !name.empty())
                required.push_back(
                    {name,
                     macros.Expand(ValueAt(item, {"DefaultFilename"}).value_or(""), unknown)});
    return required;
}

std::string JoinDefines(const std::vector<std::string>& defines) {
    std::string text;
    for (const std::string& d : defines)
        text += (text.empty() ? "" : ";") + d;
    return text;
}

} // namespace

std::string PathInLazarusFile(const std::string& dir, const std::string& path) {
    if (path.empty())
        return {};
    const bool absolute = path[0] == '/' || path[0] == '\\' || fs::IsDrivePath(path);
    return fs::ExpandFileName(absolute ? path : fs::IncludeTrailingPathDelimiter(dir) + path);
}

TLazarusFile ParseLazarusFile(std::string_view text, const std::string& fileName, bool package,
                              const std::string& buildMode, const TFpcTarget& target) {
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
    if (!parsed)
        Refuse(fileName, Format("no XML (%s at offset %lld)", parsed.description(),
                                static_cast<long long>(parsed.offset)));
    const pugi::xml_node config = doc.child("CONFIG");
    if (!config)
        Refuse(fileName, "no CONFIG element");
    const char* top = package ? "Package" : "ProjectOptions";
    const pugi::xml_node root = config.child(top);
    if (!root)
        Refuse(fileName, std::string("no ") + top + " element");

    TLazarusFile f;
    f.IsPackage = package;
    CompilerValues values = CompilerValues::Of((package ? root : config).child("CompilerOptions"));
    std::vector<std::pair<std::string, std::string>> macroValues;
    if (package) {
        f.Name = ValueAt(root, {"Name"}).value_or("");
    } else {
        f.MainUnit = MainUnitOf(root);
        pugi::xml_node mode;
        for (pugi::xml_node item : Items(root.child("BuildModes"), "Item")) {
            f.BuildModes.emplace_back(item.attribute("Name").value());
            if (f.BuildMode.empty() && IsTrueValue(item.attribute("Default").value())) {
                f.BuildMode = f.BuildModes.back();
                mode = item;
            }
        }
        if (!buildMode.empty()) {
            mode = ApplyBuildMode(root, buildMode, fileName, values);
            f.BuildMode = mode.attribute("Name").value();
        }
        if (mode)
            macroValues = MacroValuesOf(root, mode);
    }
    f.Target = TargetOf(values, target);
    if (values.syntaxMode && !values.syntaxMode->empty())
        f.SyntaxMode = *values.syntaxMode;

    // The file's own macros: its directory, then its output and include directories.
    TLazarusMacros macros(f.Target);
    for (const auto& [name, value] : macroValues)
        macros.Set(name, value);
    macros.Set(package ? "PkgDir" : "ProjPath",
               fs::ExcludeTrailingPathDelimiter(fs::ExtractFilePath(fileName)));
    std::vector<std::string>& unknown = f.UnknownMacros;
    macros.Set(package ? "PkgOutDir" : "ProjOutDir",
               macros.Expand(values.outputDirectory.value_or(""), unknown));
    f.IncludeFiles = macros.Expand(values.includeFiles.value_or(""), unknown);
    if (package)
        macros.Set("PkgIncPath", f.IncludeFiles);
    f.OtherUnitFiles = macros.Expand(values.otherUnitFiles.value_or(""), unknown);
    f.Defines = DefinesOf(values.customOptions.value_or(""));
    f.TargetFile = macros.Expand(values.targetFile.value_or(""), unknown);
    f.Required = RequiredOf(root, macros, unknown);
    if (package) {
        f.Units = UnitsOf(root, macros, unknown);
        const pugi::xml_node usage = root.child("UsageOptions");
        f.UsageUnitPath = macros.Expand(ValueAt(usage, {"UnitPath"}).value_or(""), unknown);
        f.UsageIncludePath = macros.Expand(ValueAt(usage, {"IncludePath"}).value_or(""), unknown);
    }
    return f;
}

bool ReadLazarusOptions(const std::string& projectFile, const std::string& buildMode,
                        const TFpcTarget& target, TLazarusOptions& options,
                        const std::vector<std::string>& packageDirs) {
    const bool package = IndexOfExt(projectFile, {".lpk"}) == 0;
    const bool source = IndexOfExt(projectFile, {".lpr"}) == 0;
    const std::string file =
        fs::ExpandFileName(source ? fs::ChangeFileExt(projectFile, ".lpi") : projectFile);
    if (!fs::FileExists(file))
        return false;
    const TLazarusFile f = ParseLazarusFile(LoadFileText(file), file, package, buildMode, target);
    const std::string dir = fs::ExtractFilePath(file);

    options = {};
    NoteUnknownMacros(f, file, options.Notes);
    TPackageUsage usage;
    options.Packages = ReadRequiredPackages(f, file, packageDirs, f.Target, usage, options.Notes);
    // As Lazarus passes them to the compiler: the file's own paths, then the packages'.
    options.SearchPath = f.OtherUnitFiles;
    if (!usage.UnitPath.empty())
        options.SearchPath += (options.SearchPath.empty() ? "" : ";") + usage.UnitPath;
    options.IncludePath = f.IncludeFiles;
    if (!usage.IncludePath.empty())
        options.IncludePath += (options.IncludePath.empty() ? "" : ";") + usage.IncludePath;
    options.Target = f.Target;
    options.SyntaxMode = f.SyntaxMode;
    options.Defines = JoinDefines(f.Defines);
    options.ExeName = PathInLazarusFile(dir, f.TargetFile);
    options.BuildModes = f.BuildModes;
    options.BuildMode = f.BuildMode;
    if (package) {
        options.PackageName = f.Name.empty() ? fs::FileKey(file) : f.Name;
        for (const TLazarusFile::Unit& u : f.Units)
            options.PackageUnits.push_back({u.Name, PathInLazarusFile(dir, u.File)});
        return true;
    }
    if (source)
        options.MainSource = fs::ExpandFileName(projectFile);
    else if (!f.MainUnit.empty())
        options.MainSource = PathInLazarusFile(dir, f.MainUnit);
    else if (const std::string lpr = fs::ChangeFileExt(file, ".lpr"); fs::FileExists(lpr))
        options.MainSource = fs::ExpandFileName(lpr);
    else
        Refuse(file, "no main source");
    return true;
}

} // namespace ut
