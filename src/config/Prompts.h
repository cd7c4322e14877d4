#pragma once
// Questions and notices the engine puts to the user. The GUI answers them with message
// boxes, the command line on the terminal, tests with fakes.
#include <string>

namespace ut {

class Prompts {
  public:
    virtual ~Prompts() = default;
    /// A warning with an OK button.
    virtual void Warning(const std::string& text) = 0;
    /// A question with Yes and No; true for Yes.
    virtual bool Confirm(const std::string& text) = 0;
};

} // namespace ut
