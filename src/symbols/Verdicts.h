#pragma once
// The verdict on one uses entry of a unit A naming a unit B, from what is known about both:
// never one that could break a build under any conditional branch.
#include <cstdint>
#include <string>
#include <vector>

namespace ut {

enum class TVerdict : std::uint8_t {
    None,    ///< no verdict: a package's contains entry
    Keep,    ///< needed where it stands, or may be needed without being named
    Move,    ///< used in the implementation only: can move there from the interface
    Remove,  ///< nothing of B is referenced and nothing else needs it
    Unknown, ///< B (or A) was not read: no verdict without its declarations
};

/// Why an entry is kept; several may hold.
enum TKeepReason : unsigned {
    krUsed = 1,           ///< A references B's names (or qualifies with B) where it stands
    krInitialization = 2, ///< B runs code at start-up or shut-down
    krRegister = 4,       ///< B declares `procedure Register`
    krHelper = 8,         ///< B declares a class, record or type helper
    krOperator = 16,      ///< B declares an operator outside a type
    krForm = 32,          ///< A's form file names a class B declares (or cannot be read)
    krProject = 64,       ///< a program's or library's entry with an `in` clause
    krMarked = 128,       ///< followed by the comment `unitrace: keep`
};

/// What the verdict on one entry depends on.
struct TEntryFacts {
    int UnitKind = 0;       ///< A's kind (ukUnit, ukProgram, ukLibrary, ukPackage)
    bool Interface = false; ///< the entry stands in the interface (or a program's only) list
    bool InClause = false;
    bool Marked = false;
    /// Why B's declarations or A's references are not known; empty when they are.
    std::string Unknown;
    /// Why A's references may be incomplete (an include file not found); empty when not.
    std::string Incomplete;
    /// Keep reasons that B (or A's form) gives: krInitialization ... krForm.
    unsigned Needs = 0;
    /// References of A to B's names per section (interface, implementation or body).
    std::uint32_t Uses[2] = {0, 0};
};

struct TJudgement {
    TVerdict Verdict = TVerdict::None;
    unsigned Reasons = 0;
    std::string Note; ///< why the verdict is unknown
};

TJudgement JudgeEntry(const TEntryFacts& facts);

/// "keep", "move", "remove", "unknown"; "none" for no verdict.
const char* VerdictName(TVerdict verdict);
/// The names of the reasons, in a fixed order: "used", "initialization", "register",
/// "helper", "operator", "form", "project", "marked".
std::vector<std::string> ReasonNames(unsigned reasons);

} // namespace ut
