#pragma once
// The edits of a source's bytes that take uses entries out of their list or move them to
// the implementation's, leaving every other byte as it was (comments, `in` clauses, line
// ends, layout). Entries that cannot be edited safely in every configuration are refused.
#include <cstddef>
#include <string>
#include <vector>

namespace ut {

/// `Length` bytes at `Offset` become `Text`.
struct TByteEdit {
    std::size_t Offset = 0;
    std::size_t Length = 0;
    std::string Text;
    bool operator==(const TByteEdit&) const = default;
};

/// An entry of the source's own text (not of an include file) to remove, or to move from
/// the interface's list to the implementation's.
struct TUsesChange {
    std::string Name; ///< as the uses list spells it (any letter case)
    int Line = 0;     ///< the line of its name
    bool Move = false;
};

/// An entry left as it is, and why.
struct TUsesRefusal {
    std::string Name;
    int Line = 0;
    std::string Reason;
    bool operator==(const TUsesRefusal&) const = default;
};

struct TUsesEdits {
    std::vector<TByteEdit> Edits; ///< in the order of their offsets, none overlapping
    std::vector<TUsesRefusal> Refused;
};

/// Plans the edits of `text`, the bytes of `fileName`, that make `changes`. Throws
/// EParserError when the text cannot be read as Pascal tokens.
TUsesEdits PlanUsesEdits(const std::string& text, const std::string& fileName,
                         const std::vector<TUsesChange>& changes);

/// `text` with `edits` made.
std::string ApplyEdits(const std::string& text, const std::vector<TByteEdit>& edits);

} // namespace ut
