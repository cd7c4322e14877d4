#pragma once
// The Free Pascal compiler a project is read for: its version and target, and the
// symbols and constants it defines by itself for them.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ut {

struct TFpcTarget {
    std::string Version = "3.2.2"; ///< as `fpc -iV` prints it
    std::string OS = "linux";      ///< as `fpc -iTO` prints it
    std::string CPU = "x86_64";    ///< as `fpc -iTP` prints it
};

/// The three words `fpc -iV -iTO -iTP` prints ("3.2.2 linux x86_64"); nullopt for any
/// other text.
std::optional<TFpcTarget> ParseFpcInfo(const std::string& text);

/// The target of the fpc found on PATH, asked once per run; the default target (3.2.2 on
/// x86_64-linux) when there is none or it answers something else.
const TFpcTarget& InstalledFpcTarget();

/// FPC, VER3, VER3_2, VER3_2_2, the CPU and OS symbols, the byte order and the features
/// every full target has.
std::vector<std::string> FpcSymbols(const TFpcTarget& target);

/// FPC_VERSION, FPC_RELEASE, FPC_PATCH and FPC_FULLVERSION (30202 for 3.2.2).
std::vector<std::pair<std::string, double>> FpcConstants(const TFpcTarget& target);

/// Size of a pointer on the target, in bytes.
int FpcPointerSize(const TFpcTarget& target);

} // namespace ut
