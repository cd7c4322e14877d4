#include "support/StringsComp.h"

namespace ut {

std::vector<std::string> DefaultIgnoredUnits() {
    return {"Windows", "Messages", "Classes", "SysUtils", "Graphics"};
}

void TStringsComp::SetLines(const TStringList* lines) {
    if (lines == nullptr)
        FLines.Clear();
    else
        FLines.AssignStrings(*lines);
}

void TStringsComp::SetLines(const std::vector<std::string>& lines) {
    FLines.AssignStrings(lines);
}

void TStringsComp::MakeSorted() {
    FLines.SetDuplicates(TDuplicates::dupIgnore);
    FLines.SetSorted(true);
}

bool TStringsComp::IsIgnored(std::string_view name) const {
    int index = 0;
    return FLines.Find(name, index);
}

} // namespace ut
