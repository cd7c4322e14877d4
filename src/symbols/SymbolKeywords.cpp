#include "symbols/SymbolKeywords.h"

#include "symbols/Names.h"

#include <vector>

namespace ut {

namespace {

struct Word {
    std::string_view Text;
    int Keyword;
};

// clang-format off
const Word Words[] = {
    // `inline`, `out`, `self` and the directives are identifiers to Delphi: not listed.
    {"unit", kwUnit}, {"program", kwProgram}, {"library", kwLibrary}, {"interface", kwInterface},
    {"dispinterface", kwInterface}, {"implementation", kwImplementation},
    {"initialization", kwInitialization}, {"finalization", kwInitialization}, {"uses", kwUses},
    {"begin", kwBegin}, {"asm", kwCode}, {"try", kwCode}, {"end", kwEnd}, {"case", kwCase},
    {"record", kwRecord}, {"object", kwObject}, {"class", kwClass}, {"const", kwConst},
    {"resourcestring", kwConst}, {"type", kwType}, {"var", kwVar}, {"threadvar", kwVar},
    {"procedure", kwRoutine}, {"function", kwRoutine}, {"constructor", kwRoutine},
    {"destructor", kwRoutine}, {"property", kwNoDeclarations}, {"label", kwNoDeclarations},
    {"exports", kwNoDeclarations}, {"of", kwOf}, {"in", kwIn}, {"package", kwPackage},
    {"contains", kwLists}, {"requires", kwLists}, {"operator", kwOperator}, {"helper", kwHelper},
    {"generic", kwGeneric}, {"objcclass", kwClassLike}, {"objcprotocol", kwClassLike},
    {"objccategory", kwClassLike}, {"cppclass", kwClassLike}, {"and", kwReserved},
    {"array", kwReserved}, {"as", kwReserved}, {"div", kwReserved}, {"do", kwReserved},
    {"downto", kwReserved}, {"else", kwReserved}, {"except", kwReserved}, {"file", kwReserved},
    {"finally", kwReserved}, {"for", kwReserved}, {"goto", kwReserved}, {"if", kwReserved},
    {"inherited", kwReserved}, {"is", kwReserved}, {"mod", kwReserved}, {"nil", kwReserved},
    {"not", kwReserved}, {"or", kwReserved}, {"packed", kwReserved}, {"raise", kwReserved},
    {"repeat", kwReserved}, {"set", kwReserved}, {"shl", kwReserved}, {"shr", kwReserved},
    {"string", kwReserved}, {"then", kwReserved}, {"to", kwReserved}, {"until", kwReserved},
    {"while", kwReserved}, {"with", kwReserved}, {"xor", kwReserved},
};
// clang-format on

constexpr size_t MaxLength = 14; // "implementation", "initialization", "resourcestring"

} // namespace

int KeywordOf(std::string_view word) {
    // Every identifier of a source comes here: keywords by length and first letter, so
    // that most identifiers are told apart without hashing or comparing.
    static const auto table = [] {
        std::vector<std::vector<Word>> t((MaxLength + 1) * 26);
        for (const Word& w : Words)
            t[w.Text.size() * 26 + static_cast<size_t>(w.Text[0] - 'a')].push_back(w);
        return t;
    }();
    if (word.size() < 2 || word.size() > MaxLength)
        return kwNone;
    const unsigned char first = static_cast<unsigned char>(word[0]) | 0x20;
    if (first < 'a' || first > 'z')
        return kwNone;
    for (const Word& w : table[word.size() * 26 + (first - 'a')]) {
        // Keywords are lower-case ASCII: a letter folds by its 0x20 bit.
        size_t i = 1;
        while (i < word.size() && (static_cast<unsigned char>(word[i]) | 0x20) == w.Text[i])
            ++i;
        if (i == word.size())
            return w.Keyword;
    }
    return kwNone;
}

} // namespace ut
