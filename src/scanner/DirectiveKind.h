#pragma once
// What a compiler directive is, as the directive layer tells them apart; shared with the
// readers that look at every branch of a source.
#include <cstddef>
#include <string>

namespace ut {

enum class TDirectiveKind {
    Other, // switches and everything else: ignored
    IfDef,
    IfNDef,
    IfOpt,
    If, // also Mac Pascal's {$IFC}
    ElseIf,
    Else,
    EndIf,
    Define,
    Undef,
    SetC,
    Include,
    AppType,
    Mode,
    ModeSwitch,
    Macro,
    UserError, // {$ERROR text}, {$FATAL text}, ...: the compiler stops with the text
    Message,   // {$MESSAGE ERROR 'text'} stops as {$ERROR} does; other levels do not
};

/// The kind of the directive `text` (a comment's text from its '$' on); `wordEnd` is set
/// to the end of its name. {$I name} includes a file; {$I+} and {$I-} are a switch (Other).
TDirectiveKind DirectiveKindOf(const std::string& text, std::size_t& wordEnd);

/// The directive's argument: the first blank-separated word after the directive name.
std::string DirectiveArgument(const std::string& text);

} // namespace ut
