#include "support/DualStringList.h"

#include "support/ListAlgorithms.h"

#include "support/Textutil.h"

#include <utility>

namespace ut {

namespace {

const char* const SListIndexError = "List index out of bounds (%d)";
const char* const SDuplicateString = "Dup string!";
const char* const SSortedListError = "Sorted list err!";

} // namespace

TDualStringList::~TDualStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TDualStringList::SetCapacity(int n) {
    if (n <= Count())
        return;
    std::vector<T2StringItem> storage;
    storage.reserve(static_cast<size_t>(n));
    for (auto& item : FList)
        storage.push_back(std::move(item));
    FList.swap(storage);
    FCapacity = n;
}

void TDualStringList::Grow() {
    int delta = 4;
    if (FCapacity > 64)
        delta = FCapacity / 4;
    else if (FCapacity > 8)
        delta = 16;
    SetCapacity(FCapacity + delta);
}

void TDualStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EStringListError(Format(SListIndexError, index));
}

const std::string& TDualStringList::Strings(int index) const {
    CheckIndex(index);
    return FList[static_cast<size_t>(index)].FString;
}

void TDualStringList::Put(int index, const std::string& s) {
    if (FSorted)
        throw EStringListError(SSortedListError);
    CheckIndex(index);
    Changing();
    FList[static_cast<size_t>(index)].FString = s;
    Changed();
}

const std::string& TDualStringList::Duals(int index) const {
    CheckIndex(index);
    return FList[static_cast<size_t>(index)].FDual;
}

void TDualStringList::SetDuals(int index, const std::string& dual) {
    CheckIndex(index);
    Changing();
    FList[static_cast<size_t>(index)].FDual = dual;
    Changed();
}

void TDualStringList::SetSorted(bool value) {
    if (FSorted == value)
        return;
    if (value)
        Sort();
    FSorted = value;
}

int TDualStringList::Add(const std::string& s) {
    int index = Count();
    if (FSorted && Find(s, index)) {
        if (FDuplicates == TDuplicates::dupIgnore)
            return index;
        if (FDuplicates == TDuplicates::dupError)
            throw EStringListError(SDuplicateString);
    }
    InsertItem(index, s);
    return index;
}

int TDualStringList::AddDual(const std::string& s, const std::string& dual) {
    Changing();
    const int index = Add(s);
    FList[static_cast<size_t>(index)].FDual = dual;
    Changed();
    return index;
}

void TDualStringList::Insert(int index, const std::string& s) {
    if (FSorted)
        throw EStringListError(SSortedListError);
    if (index < 0 || index > Count())
        throw EStringListError(Format(SListIndexError, index));
    InsertItem(index, s);
}

void TDualStringList::InsertDual(int index, const std::string& s, const std::string& dual) {
    Changing();
    Insert(index, s);
    FList[static_cast<size_t>(index)].FDual = dual;
    Changed();
}

void TDualStringList::InsertItem(int index, const std::string& s) {
    Changing();
    if (Count() == FCapacity)
        Grow();
    FList.insert(FList.begin() + index, T2StringItem{s, std::string()});
    Changed();
}

void TDualStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    FList.erase(FList.begin() + index);
    Changed();
}

void TDualStringList::Clear() {
    if (FList.empty())
        return;
    Changing();
    FList.clear();
    Changed();
}

void TDualStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FList[static_cast<size_t>(index1)], FList[static_cast<size_t>(index2)]);
    Changed();
}

bool TDualStringList::Find(std::string_view s, int& index) const {
    return ListFind(
        Count(), [&](int i) { return AnsiCompareText(FList[static_cast<size_t>(i)].FString, s); },
        FDuplicates == TDuplicates::dupAccept, index);
}

int TDualStringList::IndexOf(std::string_view s) const {
    if (FSorted) {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (AnsiCompareText(FList[static_cast<size_t>(i)].FString, s) == 0)
            return i;
    return -1;
}

std::string TDualStringList::DualOf(std::string_view s) const {
    const int index = IndexOf(s);
    return index < 0 ? std::string() : FList[static_cast<size_t>(index)].FDual;
}

void TDualStringList::Sort() {
    CustomSort([](const TDualStringList& list, int a, int b) {
        return AnsiCompareText(list.FList[static_cast<size_t>(a)].FString,
                               list.FList[static_cast<size_t>(b)].FString);
    });
}

void TDualStringList::CustomSort(const CompareFn& compare) {
    if (FSorted || Count() < 2)
        return;
    Changing();
    QuickSort(0, Count() - 1, compare);
    Changed();
}

void TDualStringList::QuickSort(int l, int r, const CompareFn& compare) {
    ListQuickSort(
        l, r, [&](int a, int b) { return compare(*this, a, b); },
        [this](int a, int b) {
            std::swap(FList[static_cast<size_t>(a)], FList[static_cast<size_t>(b)]);
        });
}

void TDualStringList::Assign(const TDualStringList& source) {
    // Clearing first would lose the pairs of a list assigned to itself.
    if (&source == this)
        return;
    Refill([&] {
        SetCapacity(source.Count());
        for (const auto& item : source.FList)
            FList.push_back(item);
    });
}

void TDualStringList::Assign(const std::vector<std::string>& source) {
    Refill([&] {
        for (const auto& s : source)
            Add(s);
    });
}

void TDualStringList::BeginUpdate() {
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TDualStringList::EndUpdate() {
    // An unmatched EndUpdate would silence the notifications for good.
    if (FUpdateCount == 0)
        return;
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

void TDualStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

void TDualStringList::Changing() {
    if (FUpdateCount == 0 && OnChanging)
        OnChanging(*this);
}

void TDualStringList::Changed() {
    if (FUpdateCount == 0 && OnChange)
        OnChange(*this);
}

std::vector<std::string> TDualStringList::ToVector() const {
    std::vector<std::string> out;
    out.reserve(FList.size());
    for (const auto& item : FList)
        out.push_back(item.FString);
    return out;
}

std::string TDualStringList::Text() const {
    std::string out;
    for (const auto& item : FList) {
        out += item.FString;
        out += "\r\n";
    }
    return out;
}

} // namespace ut
