// Generated sources of Pascal fragments: every parse must end in a final state, never loop,
// and leave no scanner open, whatever order the fragments come in.
#include "SourceDir.h"

#include "scanner/Unit.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using namespace ut;
using uttest::SourceDirTest;

// clang-format off
const char* const fragments[] = {
    "unit", "program", "package", "library", "interface", "implementation", "uses", "in",
    "contains", "requires", "end", "else", "U", "Vcl.Forms", ";", ",", ".", "(", ")", "'x.pas'",
    "'open", "#300", "{c}", "{open", "(*c*)", "//c\n", "\n", "{$IFDEF A}", "{$ELSE}", "{$ENDIF}",
    "{$DEFINE A}", "{$IFOPT R+}", "{$I self.inc}", "{$I other.inc}", "5", "+5", "1.5e3d", "$FF",
    "\xEF\xBB\xBF", "\x01"};
// clang-format on

class Robustness : public SourceDirTest {};

TEST_F(Robustness, GeneratedSourcesAlwaysFinish) {
    std::mt19937 rng(20240611u);
    std::uniform_int_distribution<size_t> pick(0, std::size(fragments) - 1);
    std::uniform_int_distribution<int> length(0, 30);
    const auto makeSource = [&] {
        std::string s;
        for (int n = length(rng); n > 0; --n)
            s += std::string(fragments[pick(rng)]) + (rng() % 2 ? " " : "");
        return s;
    };
    for (int i = 0; i < 400; ++i) {
        Write("self.inc", makeSource());
        Write("other.inc", makeSource());
        const std::string path = Write("P.dpr", makeSource());
        std::unique_ptr<TProject> p;
        try {
            p = std::make_unique<TProject>(path);
        } catch (const EParserError&) {
            continue; // a malformed first token refuses the record
        }
        p->SetDefines({"A"});
        p->Parse();
        ASSERT_TRUE(p->ParseState == 7 || p->ParseState == 8) << "source " << i;
        ASSERT_EQ(p->CurrentScanner(), nullptr);
        ASSERT_EQ(p->FileName, path);
    }
}

} // namespace
