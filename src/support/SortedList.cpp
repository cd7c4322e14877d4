#include "support/SortedList.h"

#include "support/Exceptions.h"
#include "support/ListAlgorithms.h"

#include <functional>

namespace ut {

int TSortedList::Compare(const void* a, const void* b) const {
    if (FCompare)
        return FCompare(a, b);
    // Address order. The difference of two 64-bit addresses does not fit the result.
    if (std::less<const void*>()(a, b))
        return -1;
    return std::less<const void*>()(b, a) ? 1 : 0;
}

void* TSortedList::operator[](int index) const {
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", index));
    return FItems[static_cast<size_t>(index)];
}

bool TSortedList::Find(const void* item, int& index) const {
    return ListFind(
        Count(), [&](int i) { return Compare(FItems[static_cast<size_t>(i)], item); },
        FAllowDuplicates, index);
}

int TSortedList::Add(void* item) {
    int index = 0;
    if (Find(item, index) && !FAllowDuplicates)
        return -1;
    FItems.insert(FItems.begin() + index, item);
    return index;
}

int TSortedList::IndexOf(const void* item) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == item)
            return static_cast<int>(i);
    return -1;
}

int TSortedList::Remove(const void* item) {
    const int index = IndexOf(item);
    if (index >= 0)
        FItems.erase(FItems.begin() + index);
    return index;
}

void TSortedList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", index));
    FItems.erase(FItems.begin() + index);
}

} // namespace ut
