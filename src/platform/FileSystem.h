#pragma once
// The file system as the rest of the program sees it. Paths read from sources, options
// files and inputs may use '\' or '/' (a path that exists as written, in a directory whose
// name holds a '\', is taken as written); names that do not exist under their exact
// spelling are resolved without regard to letter case, component by component.
#include <functional>
#include <string>
#include <vector>

namespace ut::fs {

// On Windows the system takes paths as they are: both separators, drive letters, any
// letter case; names are UTF-8 here and UTF-16 to the system.
#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

/// Turns every separator ('\' or '/') into PathDelim.
std::string ToNative(std::string path);

/// Full path against the current directory, with "." and ".." folded; accepts '\' and '/'.
/// A drive-letter path ("C:\x") goes through the drive mapper when one is set.
/// Existing components are spelt as the directory spells them when the exact spelling
/// does not exist (case-insensitive resolution). An empty path gives an empty result.
std::string ExpandFileName(const std::string& path);

/// Maps a drive-letter path ("C:\Program Files\x") to a path on this system, or returns
/// an empty string when it cannot. Set by the registry store (Wine prefix).
using DriveMapper = std::function<std::string(const std::string& drivePath)>;
void SetDriveMapper(DriveMapper mapper);
bool IsDrivePath(const std::string& path);
/// A full path as ExpandFileName gives it: from the root ("/x"; on Windows "C:\x" or a
/// network path "\\server\share").
bool IsFullPath(const std::string& path);

/// The path rewritten with each existing component spelt as its directory spells it,
/// trying the exact spelling first and then a case-insensitive match.
std::string ResolveCase(const std::string& fullPath);

/// True when two full paths as ExpandFileName gives them name the same file: byte for byte
/// on POSIX, where the expansion spells each found name as on disk; on Windows, which takes
/// names as they are written, without regard to letter case, as its file systems compare.
bool SamePath(const std::string& a, const std::string& b);

/// Long-name rewrite of a path (the command-line argument): full path, components spelt
/// as on disk.
std::string LongFileName(const std::string& path);

bool FileExists(const std::string& path);      ///< regular file, any letter case
bool DirectoryExists(const std::string& path); ///< directory, any letter case
bool PathExists(const std::string& path);      ///< anything of that name, any letter case

/// Names (without directory) of the regular files in `dir` that match `pattern`
/// ('*' and '?', letters compared without regard to case), in the listing's order.
/// A directory that does not exist or cannot be read gives an empty list.
std::vector<std::string> ListFiles(const std::string& dir, const std::string& pattern);

/// Full paths of the regular files in `dir` and every directory below it that match
/// `pattern`, in path order. Symbolic links to directories are not followed; directories
/// that cannot be read are passed over.
std::vector<std::string> ListFilesBelow(const std::string& dir, const std::string& pattern);

/// Case-insensitive wildcard match of a file name against a pattern.
bool MatchesMask(const std::string& name, const std::string& pattern);

std::string GetCurrentDir();
/// True for a path that names its file without the current directory's help.
bool IsAbsolutePath(const std::string& path);
/// Makes `dir` current; throws EInOutError when it cannot.
void SetCurrentDir(const std::string& dir);

std::string ExtractFilePath(const std::string& path); ///< directory with trailing '/'
std::string ExtractFileDir(const std::string& path);  ///< directory without trailing '/'
std::string ExtractFileName(const std::string& path); ///< last component
std::string ChangeFileExt(const std::string& path, const std::string& ext);
/// File name without directory and extension: the key of a unit source.
std::string FileKey(const std::string& path);
std::string IncludeTrailingPathDelimiter(const std::string& dir);
std::string ExcludeTrailingPathDelimiter(const std::string& dir);

/// Forgets cached directory listings.
void ClearListingCache();

/// While one of these lives, the listings read to resolve letter case are kept, so a
/// scan lists each directory once; the cache is dropped when the last scope ends.
class ListingCacheScope {
  public:
    ListingCacheScope();
    ~ListingCacheScope();
    ListingCacheScope(const ListingCacheScope&) = delete;
    ListingCacheScope& operator=(const ListingCacheScope&) = delete;
};

/// The bytes of a file that many sources share (an include file): read from the disk once
/// while a ListingCacheScope lives, on every call otherwise. Throws EFOpenError.
std::string SharedFileText(const std::string& path);

} // namespace ut::fs
