#pragma once
// Locates a library named in a dump on this system, the way the loaders would: for Windows
// DLLs case-insensitively, also in a Wine prefix; for ELF shared objects also in the
// dynamic loader's directories.
#include <optional>
#include <string>
#include <vector>

namespace ut {

/// What the search depends on outside the program; FromProcess reads it from the
/// environment, tests build their own.
struct TDllSearchEnv {
    /// The current directory; none: the process's current directory at each search.
    std::optional<std::string> CurrentDir;
    std::string Path;          ///< PATH
    std::string LdLibraryPath; ///< LD_LIBRARY_PATH
    std::string LdSoConf;      ///< the loader's configuration file; empty: none
    std::vector<std::string> StandardLibDirs;
    std::string WinePrefix; ///< empty: none

    /// PATH, LD_LIBRARY_PATH, /etc/ld.so.conf, the standard library directories of this
    /// system (multiarch first), and WINEPREFIX or else ~/.wine.
    static TDllSearchEnv FromProcess();
};

class TDllSearch {
  public:
    explicit TDllSearch(TDllSearchEnv env);

    /// True for ELF shared-object names ("libc.so.6", "libfoo.so"); all others are DLLs.
    static bool IsElfName(const std::string& name);

    /// The directories searched for `name`, in order, each once: the current directory,
    /// `inspectedFileDir`, PATH; for ELF names then LD_LIBRARY_PATH, the ld.so.conf
    /// directories and the standard library directories; for DLL names the Wine prefix's
    /// system32 and syswow64 when they exist.
    std::vector<std::string> SearchDirs(const std::string& name,
                                        const std::string& inspectedFileDir) const;

    /// The full path of the first file called `name` in SearchDirs (DLL names in any letter
    /// case, the exact spelling preferred; ELF names exactly), or empty when there is none.
    /// A name with a directory part is taken as it is when it is an absolute path to a
    /// file; a name with wildcard characters is never found.
    std::string ResolveDll(const std::string& name, const std::string& inspectedFileDir) const;

  private:
    std::string FindIn(const std::string& dir, const std::string& name, bool anyCase) const;

    TDllSearchEnv FEnv;
    std::vector<std::string> FLoaderDirs; ///< LD_LIBRARY_PATH, ld.so.conf, standard dirs
    std::vector<std::string> FWineDirs;
};

/// ResolveDll with the process's environment (read once).
std::string ResolveDll(const std::string& name, const std::string& inspectedFileDir);

} // namespace ut
