#include "scanner/UnitDefines.h"

#include "support/Textutil.h"

#include <array>

namespace ut {

namespace {

const SharedCompilerSymbols& NoSymbols() {
    static const SharedCompilerSymbols none = std::make_shared<TCompilerSymbols>();
    return none;
}

} // namespace

TDefines::TDefines() : FBase(NoSymbols()) {}

void TDefines::SetBase(SharedCompilerSymbols base) {
    FBase = base ? std::move(base) : NoSymbols();
    // Storage released too: a parsed unit's record forgets its own symbols this way.
    decltype(FLocal)().swap(FLocal);
    decltype(FLocalOrder)().swap(FLocalOrder);
    decltype(FValues)().swap(FValues);
}

bool TDefines::Contains(std::string_view name) const {
    const std::string key = UpperFoldText(name);
    if (!FLocal.empty()) {
        const auto it = FLocal.find(key);
        if (it != FLocal.end())
            return it->second.defined;
    }
    return FBase->IsDefinedFolded(key);
}

std::pair<const std::string, TDefines::Local>& TDefines::Touch(std::string_view name) {
    const auto [it, added] = FLocal.try_emplace(UpperFoldText(name));
    if (added) {
        it->second.spelling = std::string(name);
        FLocalOrder.push_back(&*it); // map entries stay where they are
    }
    return *it;
}

void TDefines::Define(std::string_view name) {
    if (name.empty())
        return; // an empty symbol would make a bare {$IFDEF} true
    auto& [key, local] = Touch(name);
    local.defined = true;
    if (!FValues.empty())
        FValues.erase(key);
}

void TDefines::DefineValue(std::string_view name, TExprValue value) {
    if (name.empty())
        return;
    auto& [key, local] = Touch(name);
    local.defined = true;
    FValues[key] = std::move(value);
}

void TDefines::Undefine(std::string_view name) {
    if (name.empty())
        return;
    auto& [key, local] = Touch(name);
    local.defined = false;
    if (!FValues.empty())
        FValues.erase(key);
}

std::vector<std::string> TDefines::Names() const {
    std::vector<std::string> names;
    for (const std::string& s : FBase->Symbols()) {
        const auto it = FLocal.find(UpperFoldText(s));
        if (it == FLocal.end() || it->second.defined)
            names.push_back(s);
    }
    for (const auto* entry : FLocalOrder)
        if (entry->second.defined && !FBase->IsDefinedFolded(entry->first))
            names.push_back(entry->second.spelling);
    return names;
}

std::optional<TExprValue> TDefines::ValueOf(std::string_view name) const {
    const std::string key = UpperFoldText(name);
    if (const auto value = FValues.find(key); value != FValues.end())
        return value->second;
    if (const auto local = FLocal.find(key); local != FLocal.end() && !local->second.defined)
        return std::nullopt; // undefined here
    if (const std::optional<double> c = FBase->ConstantFolded(key))
        return TExprValue::Number(*c);
    return std::nullopt;
}

int TDefines::SizeOf(std::string_view typeName) const {
    struct Size {
        const char* name;
        int bytes; ///< 0: the target's pointer size
    };
    static const std::array<Size, 36> sizes = {{
        {"Byte", 1},       {"ShortInt", 1}, {"Boolean", 1}, {"ByteBool", 1}, {"AnsiChar", 1},
        {"Int8", 1},       {"UInt8", 1},    {"Word", 2},    {"SmallInt", 2}, {"WordBool", 2},
        {"WideChar", 2},   {"Int16", 2},    {"UInt16", 2},  {"Integer", 4},  {"Cardinal", 4},
        {"LongInt", 4},    {"LongWord", 4}, {"DWord", 4},   {"LongBool", 4}, {"Single", 4},
        {"Int32", 4},      {"UInt32", 4},   {"Int64", 8},   {"UInt64", 8},   {"QWord", 8},
        {"Double", 8},     {"Currency", 8}, {"Comp", 8},    {"Pointer", 0},  {"NativeInt", 0},
        {"NativeUInt", 0}, {"PtrInt", 0},   {"PtrUInt", 0}, {"SizeInt", 0},  {"SizeUInt", 0},
        {"IntPtr", 0},
    }};
    for (const Size& s : sizes)
        if (SameText(typeName, s.name))
            return s.bytes ? s.bytes : FBase->PointerSize;
    return 0;
}

} // namespace ut
