#pragma once
// The quicksort of the string lists: the pivot follows its item when that item is swapped,
// so lists sort into exactly the same order (equal keys included) whatever holds them.

namespace ut {

/// Sorts positions l..r; `compare(i, j)` compares the items at two positions and
/// `exchange(i, j)` swaps them.
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
