#include "config/LazarusPackages.h"

#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <unordered_set>

namespace ut {

namespace {

void AddNote(std::vector<std::string>& notes, std::string note) {
    if (std::find(notes.begin(), notes.end(), note) == notes.end())
        notes.push_back(std::move(note));
}

std::string JoinPaths(const std::string& a, const std::string& b) {
    return a.empty() ? b : b.empty() ? a : a + ";" + b;
}

/// The .lpk files below the package directories, then below the project's, by folded
/// package name; listed when first asked for.
class PackageIndex {
  public:
    PackageIndex(std::vector<std::string> dirs) : FDirs(std::move(dirs)) {}
    std::string Find(const std::string& name) {
        if (!FListed) {
            FListed = true;
            for (const std::string& dir : FDirs)
                for (const std::string& file : fs::ListFilesBelow(dir, "*.lpk"))
                    FFiles.emplace(UpperFoldText(fs::FileKey(file)), file); // first wins
        }
        const auto it = FFiles.find(UpperFoldText(name));
        return it == FFiles.end() ? std::string() : it->second;
    }

  private:
    std::vector<std::string> FDirs;
    bool FListed = false;
    std::unordered_map<std::string, std::string> FFiles;
};

struct Pending {
    TLazarusFile::Requirement requirement;
    std::string dir; ///< the requiring file's directory
};

} // namespace

std::string FullPathList(const std::string& dir, const std::string& paths) {
    std::vector<std::string> pieces;
    SplitToList(paths, ";", pieces);
    std::string list;
    for (const std::string& piece : pieces)
        if (const std::string path = Trim(piece); !path.empty())
            list = JoinPaths(list, PathInLazarusFile(dir, path));
    return list;
}

void NoteUnknownMacros(const TLazarusFile& file, const std::string& fileName,
                       std::vector<std::string>& notes) {
    for (const std::string& macro : file.UnknownMacros)
        if (std::none_of(notes.begin(), notes.end(), [&](const std::string& n) {
                return n.compare(0, macro.size() + 9, "Macro $(" + macro + ")") == 0;
            }))
            notes.push_back("Macro $(" + macro + ") is not known, taken as empty: " + fileName);
}

std::vector<TLazarusPackage> ReadRequiredPackages(const TLazarusFile& file,
                                                  const std::string& fileName,
                                                  const std::vector<std::string>& packageDirs,
                                                  const TFpcTarget& target, TPackageUsage& usage,
                                                  std::vector<std::string>& notes) {
    std::vector<std::string> dirs = packageDirs;
    dirs.push_back(fs::ExtractFileDir(fileName));
    PackageIndex index(dirs);
    std::vector<TLazarusPackage> packages;
    // The usage paths of each package and the names it requires, to give each package the
    // paths of those it requires once all are read.
    std::unordered_map<std::string, TPackageUsage> usageOf;
    std::vector<std::vector<std::string>> requiredBy;
    std::unordered_set<std::string> seen{UpperFoldText(file.Name)};
    std::deque<Pending> queue;
    for (const auto& r : file.Required)
        queue.push_back({r, fs::ExtractFilePath(fileName)});
    while (!queue.empty()) {
        const Pending next = std::move(queue.front());
        queue.pop_front();
        const std::string& name = next.requirement.Name;
        if (!seen.insert(UpperFoldText(name)).second)
            continue;
        std::string path = PathInLazarusFile(next.dir, next.requirement.DefaultFilename);
        if (path.empty() || !fs::FileExists(path))
            path = index.Find(name);
        if (path.empty()) {
            AddNote(notes, "Required package " + name + " not found");
            continue;
        }
        TLazarusFile f;
        try {
            f = ParseLazarusFile(LoadFileText(path), path, true, "", target);
        } catch (const std::exception& e) {
            AddNote(notes, e.what());
            continue;
        }
        NoteUnknownMacros(f, path, notes);
        const std::string dir = fs::ExtractFilePath(path);
        TLazarusPackage p;
        p.Name = f.Name.empty() ? fs::FileKey(path) : f.Name;
        p.File = path;
        for (const TLazarusFile::Unit& u : f.Units)
            p.Units.push_back({u.Name, PathInLazarusFile(dir, u.File)});
        p.SearchPath = FullPathList(dir, f.OtherUnitFiles);
        p.IncludePath = FullPathList(dir, f.IncludeFiles);
        p.Defines = f.Defines;
        p.SyntaxMode = f.SyntaxMode;
        const TPackageUsage own{FullPathList(dir, f.UsageUnitPath),
                                FullPathList(dir, f.UsageIncludePath)};
        usageOf[UpperFoldText(p.Name)] = own;
        usage.UnitPath = JoinPaths(usage.UnitPath, own.UnitPath);
        usage.IncludePath = JoinPaths(usage.IncludePath, own.IncludePath);
        requiredBy.emplace_back();
        for (const auto& r : f.Required) {
            requiredBy.back().push_back(UpperFoldText(r.Name));
            queue.push_back({r, dir});
        }
        packages.push_back(std::move(p));
    }
    for (size_t i = 0; i < packages.size(); ++i)
        for (const std::string& name : requiredBy[i])
            if (const auto it = usageOf.find(name);
                it != usageOf.end() && name != UpperFoldText(packages[i].Name)) {
                packages[i].SearchPath = JoinPaths(packages[i].SearchPath, it->second.UnitPath);
                packages[i].IncludePath =
                    JoinPaths(packages[i].IncludePath, it->second.IncludePath);
            }
    return packages;
}

} // namespace ut
