#include "symbols/SymbolKeywords.h"

#include "symbols/Names.h"

namespace ut {

int KeywordOf(std::string_view word) {
    static const TNameMap<int> words = {
        {"unit", kwUnit},
        {"program", kwProgram},
        {"library", kwLibrary},
        {"interface", kwInterface},
        {"dispinterface", kwInterface},
        {"implementation", kwImplementation},
        {"initialization", kwInitialization},
        {"finalization", kwInitialization},
        {"uses", kwUses},
        {"begin", kwBegin},
        {"asm", kwCode},
        {"try", kwCode},
        {"end", kwEnd},
        {"case", kwCase},
        {"record", kwRecord},
        {"object", kwObject},
        {"class", kwClass},
        {"const", kwConst},
        {"resourcestring", kwConst},
        {"type", kwType},
        {"var", kwVar},
        {"threadvar", kwVar},
        {"procedure", kwRoutine},
        {"function", kwRoutine},
        {"constructor", kwRoutine},
        {"destructor", kwRoutine},
        {"property", kwNoDeclarations},
        {"label", kwNoDeclarations},
        {"exports", kwNoDeclarations},
        {"of", kwOf},
        {"in", kwIn},
        {"package", kwPackage},
        {"contains", kwLists},
        {"requires", kwLists},
        {"operator", kwOperator},
        {"helper", kwHelper},
        {"generic", kwGeneric},
        {"objcclass", kwClassLike},
        {"objcprotocol", kwClassLike},
        {"objccategory", kwClassLike},
        {"cppclass", kwClassLike},
        // `inline`, `out`, `self` and the directives are identifiers to Delphi.
        // clang-format off
        {"and", kwReserved}, {"array", kwReserved}, {"as", kwReserved}, {"div", kwReserved},
        {"do", kwReserved}, {"downto", kwReserved}, {"else", kwReserved}, {"except", kwReserved},
        {"file", kwReserved}, {"finally", kwReserved}, {"for", kwReserved}, {"goto", kwReserved},
        {"if", kwReserved}, {"inherited", kwReserved}, {"is", kwReserved}, {"mod", kwReserved},
        {"nil", kwReserved}, {"not", kwReserved}, {"or", kwReserved}, {"packed", kwReserved},
        {"raise", kwReserved}, {"repeat", kwReserved}, {"set", kwReserved}, {"shl", kwReserved},
        {"shr", kwReserved}, {"string", kwReserved}, {"then", kwReserved}, {"to", kwReserved},
        {"until", kwReserved}, {"while", kwReserved}, {"with", kwReserved}, {"xor", kwReserved},
        // clang-format on
    };
    const auto it = words.find(word);
    return it == words.end() ? kwNone : it->second;
}

} // namespace ut
