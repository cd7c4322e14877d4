#pragma once
// The search and sort shared by the lists, so that every list finds and orders its items
// in exactly the same way whatever it holds.

namespace ut {

/// Binary search of positions 0..count-1; `compare(i)` compares the item at position i
/// with the key. `index` is where the key is or belongs: with `firstOfEqual` the first of
/// several equal items, otherwise the one the search met.
template <class Compare>
bool ListFind(int count, const Compare& compare, bool firstOfEqual, int& index) {
    int l = 0;
    int h = count - 1;
    bool found = false;
    while (l <= h) {
        const int i = (l + h) >> 1;
        const int c = compare(i);
        if (c < 0) {
            l = i + 1;
        } else {
            h = i - 1;
            if (c == 0) {
                found = true;
                if (!firstOfEqual)
                    l = i;
            }
        }
    }
    index = l;
    return found;
}

/// Sorts positions l..r; the pivot follows its item when that item is swapped. `compare(i, j)`
/// compares the items at two positions and `exchange(i, j)` swaps them.
template <class Compare, class Exchange>
void ListQuickSort(int l, int r, const Compare& compare, const Exchange& exchange) {
    int i = 0;
    do {
        i = l;
        int j = r;
        int p = (l + r) >> 1;
        do {
            while (compare(i, p) < 0)
                ++i;
            while (compare(j, p) > 0)
                --j;
            if (i <= j) {
                exchange(i, j);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j)
            ListQuickSort(l, j, compare, exchange);
        l = i;
    } while (i < r);
}

} // namespace ut
