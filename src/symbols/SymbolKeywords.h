#pragma once
// The words the symbol reader tells apart: Pascal's reserved words and the identifiers
// that are keywords in their place.
#include <string_view>

namespace ut {

enum Keyword : int {
    kwNone = 0, // an identifier
    kwReserved, // a reserved word that matters here only as one
    kwUnit,
    kwProgram,
    kwLibrary,
    kwInterface,
    kwImplementation,
    kwInitialization,
    kwUses,
    kwBegin,
    kwCode, // asm, try: blocks that `end` closes
    kwEnd,
    kwCase,
    kwRecord,
    kwObject,
    kwClass,
    kwConst,
    kwType,
    kwVar,
    kwRoutine,        // procedure, function, constructor, destructor
    kwNoDeclarations, // property, label, exports
    kwOf,
    kwIn,
    // Identifiers that are keywords only in their place.
    kwPackage,
    kwLists, // contains, requires
    kwOperator,
    kwHelper,
    kwGeneric,
    kwClassLike, // objcclass, objcprotocol, objccategory, cppclass
};

/// The keyword `word` is (any letter case), kwNone for an identifier.
int KeywordOf(std::string_view word);

/// Words that are identifiers outside their place.
inline bool IsContextual(int kw) {
    return kw >= kwPackage;
}

} // namespace ut
