#include "config/LazarusProject.h"

#include "config/Compiler.h"
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
    std::optional<std::string> otherUnitFiles, includeFiles, customOptions, targetFile;

    static CompilerValues Of(pugi::xml_node options) {
        return {ValueAt(options, {"SearchPaths", "OtherUnitFiles"}),
                ValueAt(options, {"SearchPaths", "IncludeFiles"}),
                ValueAt(options, {"Other", "CustomOptions"}),
                ValueAt(options, {"Target", "Filename"})};
    }
    void Override(const CompilerValues& mode) {
        for (auto [mine, theirs] : {std::pair{&otherUnitFiles, &mode.otherUnitFiles},
                                    std::pair{&includeFiles, &mode.includeFiles},
                                    std::pair{&customOptions, &mode.customOptions},
                                    std::pair{&targetFile, &mode.targetFile}})
            if (*theirs)
                *mine = *theirs;
    }
};

bool IsTrueValue(const char* value) {
    return SameText(value, "True");
}

// The options of the build mode `name` over those of `defaults`; returns the mode's name as
// the file writes it.
std::string ApplyBuildMode(pugi::xml_node projectOptions, const std::string& name,
                           const std::string& fileName, CompilerValues& values) {
    for (pugi::xml_node mode : Items(projectOptions.child("BuildModes"), "Item")) {
        if (!SameText(mode.attribute("Name").value(), name))
            continue;
        if (!IsTrueValue(mode.attribute("Default").value()))
            values.Override(CompilerValues::Of(mode.child("CompilerOptions")));
        return mode.attribute("Name").value();
    }
    Refuse(fileName, "no build mode \"" + name + "\"");
}

// $(TargetOS) and $(TargetCPU), any letter case; other macros stay.
std::string ExpandMacros(const std::string& text, const TFpcTarget& target) {
    const std::pair<std::string_view, const std::string*> macros[] = {
        {"$(TargetOS)", &target.OS}, {"$(TargetCPU)", &target.CPU}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto m = std::find_if(std::begin(macros), std::end(macros), [&](const auto& p) {
            return SameTextN(std::string_view(text).substr(i), p.first, p.first.size());
        });
        if (m == std::end(macros)) {
            out += text[i++];
            continue;
        }
        out += *m->second;
        i += m->first.size();
    }
    return out;
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

std::vector<TLazarusFile::Unit> UnitsOf(pugi::xml_node package) {
    std::vector<TLazarusFile::Unit> units;
    for (pugi::xml_node item : Items(package.child("Files"), "Item")) {
        const std::string file = ValueAt(item, {"Filename"}).value_or("");
        const std::string type = ValueAt(item, {"Type"}).value_or("Unit");
        if ((type != "Unit" && type != "Main Unit") ||
            IndexOfExt(file, UnitFileExtensions(TCompiler::FreePascal)) < 0)
            continue;
        std::string name = ValueAt(item, {"UnitName"}).value_or("");
        units.push_back({name.empty() ? fs::FileKey(fs::ToNative(file)) : name, file});
    }
    return units;
}

// A path of the file, taken against the directory of the file when it is relative.
std::string PathBeside(const std::string& dir, const std::string& path) {
    if (path.empty())
        return {};
    const bool absolute = path[0] == '/' || path[0] == '\\' || fs::IsDrivePath(path);
    return fs::ExpandFileName(absolute ? path : dir + path);
}

std::string JoinDefines(const std::vector<std::string>& defines) {
    std::string text;
    for (const std::string& d : defines)
        text += (text.empty() ? "" : ";") + d;
    return text;
}

} // namespace

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
    if (package) {
        f.Name = ValueAt(root, {"Name"}).value_or("");
        f.Units = UnitsOf(root);
    } else {
        f.MainUnit = MainUnitOf(root);
        for (pugi::xml_node mode : Items(root.child("BuildModes"), "Item")) {
            f.BuildModes.emplace_back(mode.attribute("Name").value());
            if (f.BuildMode.empty() && IsTrueValue(mode.attribute("Default").value()))
                f.BuildMode = f.BuildModes.back();
        }
        if (!buildMode.empty())
            f.BuildMode = ApplyBuildMode(root, buildMode, fileName, values);
    }
    f.OtherUnitFiles = ExpandMacros(values.otherUnitFiles.value_or(""), target);
    f.IncludeFiles = ExpandMacros(values.includeFiles.value_or(""), target);
    f.Defines = DefinesOf(values.customOptions.value_or(""));
    f.TargetFile = ExpandMacros(values.targetFile.value_or(""), target);
    return f;
}

bool ReadLazarusOptions(const std::string& projectFile, const std::string& buildMode,
                        const TFpcTarget& target, TLazarusOptions& options) {
    const bool package = IndexOfExt(projectFile, {".lpk"}) == 0;
    const bool source = IndexOfExt(projectFile, {".lpr"}) == 0;
    const std::string file =
        fs::ExpandFileName(source ? fs::ChangeFileExt(projectFile, ".lpi") : projectFile);
    if (!fs::FileExists(file))
        return false;
    const TLazarusFile f = ParseLazarusFile(LoadFileText(file), file, package, buildMode, target);
    const std::string dir = fs::ExtractFilePath(file);

    options = {};
    options.SearchPath = f.OtherUnitFiles;
    options.IncludePath = f.IncludeFiles;
    options.Defines = JoinDefines(f.Defines);
    options.ExeName = PathBeside(dir, f.TargetFile);
    options.BuildModes = f.BuildModes;
    options.BuildMode = f.BuildMode;
    if (package) {
        options.PackageName = f.Name.empty() ? fs::FileKey(file) : f.Name;
        for (const TLazarusFile::Unit& u : f.Units)
            options.PackageUnits.push_back({u.Name, PathBeside(dir, u.File)});
        return true;
    }
    if (source)
        options.MainSource = fs::ExpandFileName(projectFile);
    else if (!f.MainUnit.empty())
        options.MainSource = PathBeside(dir, f.MainUnit);
    else if (const std::string lpr = fs::ChangeFileExt(file, ".lpr"); fs::FileExists(lpr))
        options.MainSource = fs::ExpandFileName(lpr);
    else
        Refuse(file, "no main source");
    return true;
}

} // namespace ut
