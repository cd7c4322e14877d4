#include "report/JsonStream.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using ut::report::JsonStream;

// The streamed document spells its values as the JSON library does: every ASCII byte,
// UTF-8 text, numbers, and a value larger than one piece.
TEST(JsonStream, StreamSpellsValuesAsTheLibrary) {
    std::string ascii;
    for (int c = 0; c < 0x80; ++c)
        ascii += static_cast<char>(c);
    const std::string big(100000, 'x');
    std::string streamed;
    {
        JsonStream j([&](std::string_view piece) { streamed += piece; });
        for (const std::string& s : {ascii, std::string("\xC5\x98 caf\xC3\xA9"), big})
            j.String(s).Raw(",");
        j.Number(-1).Raw(",").Number(9007199254740993LL).Raw(",").Bool(false).Raw(",").Null();
        j.Flush();
    }
    nlohmann::json expected = {ascii,  "\xC5\x98 caf\xC3\xA9", big, -1, 9007199254740993LL, false,
                               nullptr};
    EXPECT_EQ("[" + streamed + "]", expected.dump());
}

} // namespace
