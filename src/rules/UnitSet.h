#pragma once
// A set of units as a rules file names it: patterns with '/' match the unit's file (relative
// to the rules file's directory), the others its name; '*' and '?' within a name or a path
// component, '**' across components (for a name: anything). Letters compare without regard
// to case, as unit names and the file names that hold them do.
#include <string>
#include <string_view>
#include <vector>

namespace ut::rules {

class UnitSet {
  public:
    UnitSet() = default;
    /// `patterns` as written; `baseDir` is the full path of the directory that relative
    /// path patterns start from.
    UnitSet(std::vector<std::string> patterns, const std::string& baseDir);

    /// Whether a unit named `name` whose source is `file` (a full path; empty for a name
    /// the scan did not parse) belongs to the set.
    bool Matches(std::string_view name, const std::string& file) const;
    const std::vector<std::string>& Patterns() const { return FWritten; }
    /// The patterns as the rules file writes them: "core/**" or ["a", "b"].
    std::string Text() const;

  private:
    struct Pattern {
        bool Path = false;
        std::string Name;                  ///< a unit-name pattern
        std::vector<std::string> Segments; ///< a path pattern's components from the root
    };
    std::vector<std::string> FWritten;
    std::vector<Pattern> FPatterns;
};

/// The components of a path, either separator; "." dropped and ".." taking one back.
std::vector<std::string> PathSegments(std::string_view path);
/// Whether the components of a file match those of a path pattern ('**' any number of
/// components, '*' and '?' within one).
bool MatchSegments(const std::vector<std::string>& file, const std::vector<std::string>& pattern);

} // namespace ut::rules
