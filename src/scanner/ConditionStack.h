#pragma once
// The open conditional directives of one unit, innermost last. Each entry is a chain
// ({$IFDEF}, {$IF}, ... with its {$ELSEIF} and {$ELSE} branches) that is in one of three
// modes: reading the current branch, skipping to a branch that may still be taken, or
// skipping everything to its end (a branch was taken, or the chain lies in a skipped
// region, where nothing is evaluated).
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace ut {

/// A taken conditional branch: its directive text and the taken branch around it. Shared
/// by every uses entry read inside it.
struct TCondition {
    std::string Text; ///< e.g. "IFDEF DEBUG", "IF CompilerVersion >= 20", "ELSE of IFDEF X"
    std::shared_ptr<const TCondition> Outer;
};

/// The texts from the outermost branch to `innermost` (which comes last).
std::vector<std::string> ConditionTexts(const TCondition* innermost);

/// Conditionals nested deeper than this fail the unit.
inline constexpr std::size_t MaxConditionDepth = 1000;

class TConditionStack {
  public:
    bool Empty() const { return FFrames.empty(); }
    std::size_t Depth() const { return FFrames.size(); }
    /// Some open branch is not read: tokens are dropped.
    bool Skipping() const { return FNotReading > 0; }

    /// Opens a chain whose first branch is read when `take`; inside a skipped region the
    /// chain is skipped whatever `take` says. `text` names the branch ("IFDEF DEBUG").
    void Open(bool take, std::string text);
    /// The innermost chain would take the next {$ELSEIF} whose condition holds: none of
    /// its branches was taken and no region around it is skipped. Only then is an
    /// {$ELSEIF} expression evaluated.
    bool Undecided() const;
    /// Switches the innermost chain to its next branch ({$ELSEIF} with its condition's
    /// value, or {$ELSE} with `isElse`): read when `take` and the chain is undecided.
    void Branch(bool take, bool isElse, std::string text);
    /// The innermost chain's {$ELSE} has been met.
    bool ElseSeen() const { return FFrames.back().elseSeen; }
    /// Closes the innermost chain.
    void Close();
    void Clear();

    /// The innermost taken branch while reading; null outside any conditional.
    const std::shared_ptr<const TCondition>& Current() const;

  private:
    struct Frame {
        bool reading = false;
        bool decided = false; ///< a branch was taken, or the chain lies in a skipped region
        bool elseSeen = false;
        std::string openText; ///< text of the chain's first branch
        std::shared_ptr<const TCondition> condition;
    };
    /// Starts reading a branch of the innermost chain.
    void Read(std::string text);
    /// Stops reading the innermost chain's branch.
    void Skip();

    std::vector<Frame> FFrames;
    std::size_t FNotReading = 0;
};

} // namespace ut
