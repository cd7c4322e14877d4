#pragma once
// Reading registry text files: the Windows export formats ("REGEDIT4" and "Windows Registry
// Editor Version 5.00") and Wine's system.reg / user.reg. The parser turns a file into a
// list of key entries; the registry store merges them. A line it cannot read is skipped.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ut {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

/// "HKEY_LOCAL_MACHINE", "HKLM", ... (any letter case); nullopt for anything else.
std::optional<RegRoot> RegRootFromName(std::string_view name);
const char* RegRootName(RegRoot root);

/// Value types as the registry numbers them.
inline constexpr uint32_t RegNone = 0;
inline constexpr uint32_t RegSz = 1;
inline constexpr uint32_t RegExpandSz = 2;
inline constexpr uint32_t RegBinary = 3;
inline constexpr uint32_t RegDword = 4;
inline constexpr uint32_t RegMultiSz = 7;
inline constexpr uint32_t RegQword = 11;

struct RegValue {
    uint32_t Type = RegSz;
    /// Strings as UTF-8 text (without the terminating NUL; the strings of a multi-string
    /// separated by NUL); the raw bytes of other types.
    std::string Data;
    uint64_t Number = 0; ///< dword and qword values

    bool IsString() const { return Type == RegSz || Type == RegExpandSz; }
};

enum class RegFormat { Unknown, Regedit4, Regedit5, Wine };

/// One "[key]" block of a file with the values that follow it. A value without data
/// ("Name"=-) is a deletion; so is a key written "[-key]".
struct RegEntry {
    RegRoot Root = RegRoot::LocalMachine;
    std::vector<std::string> Path; ///< key names below the root
    bool DeleteKey = false;
    std::vector<std::pair<std::string, std::optional<RegValue>>> Values;
};

/// The deepest key a registry holds; a file's keys below it are left out.
inline constexpr size_t MaxKeyDepth = 512;

struct RegFile {
    RegFormat Format = RegFormat::Unknown;
    std::vector<RegEntry> Entries;
    int SkippedLines = 0;     ///< lines that could not be read
    int TooDeepKeys = 0;      ///< keys left out, with their values, for their depth
    int FirstTooDeepLine = 0; ///< the line of the first of them (first line 1)
};

/// Parses the bytes of a registry file. A UTF-16LE file (byte-order mark FF FE) is read as
/// such, a UTF-8 byte-order mark is skipped. `fileName` decides the root of a Wine file
/// whose header does not ("system.reg": HKEY_LOCAL_MACHINE, "user.reg":
/// HKEY_CURRENT_USER).
RegFile ParseRegText(std::string_view bytes, const std::string& fileName = {});

} // namespace ut
