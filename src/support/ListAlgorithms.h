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

/// Heapsort of positions l..r with the same `compare` and `exchange`.
template <class Compare, class Exchange>
void ListHeapSort(int l, int r, const Compare& compare, const Exchange& exchange) {
    const int n = r - l + 1;
    // Moves the item at heap position `root` down within the first `size` positions.
    const auto siftDown = [&](int root, int size) {
        for (int child = 2 * root + 1; child < size; child = 2 * root + 1) {
            if (child + 1 < size && compare(l + child, l + child + 1) < 0)
                ++child;
            if (compare(l + root, l + child) >= 0)
                return;
            exchange(l + root, l + child);
            root = child;
        }
    };
    for (int i = n / 2 - 1; i >= 0; --i)
        siftDown(i, n);
    for (int size = n - 1; size > 0; --size) {
        exchange(l, l + size);
        siftDown(0, size);
    }
}

/// One range of ListQuickSort, with `budget` partitions left before the heapsort.
template <class Compare, class Exchange>
void ListQuickSortPart(int l, int r, const Compare& compare, const Exchange& exchange, int budget) {
    while (l < r) {
        if (budget-- == 0) {
            ListHeapSort(l, r, compare, exchange);
            return;
        }
        int i = l;
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
        // l..j and i..r are sorted apart; the order in which they are does not change them.
        if (j - l < r - i) {
            ListQuickSortPart(l, j, compare, exchange, budget);
            l = i;
        } else {
            ListQuickSortPart(i, r, compare, exchange, budget);
            r = j;
        }
    }
}

/// Sorts positions l..r: the partitions of a quicksort whose pivot is the middle item and
/// follows its item when that item is swapped. `compare(i, j)` compares the items at two
/// positions and `exchange(i, j)` swaps them. The smaller part is sorted first and the larger
/// one goes on in the loop, so the stack holds at most log2(n) levels; a range that takes
/// more than 2 log2(n) + 32 partitions to get down to, which no order but an adversarial one
/// needs, is finished by a heapsort, so no order makes it quadratic.
template <class Compare, class Exchange>
void ListQuickSort(int l, int r, const Compare& compare, const Exchange& exchange) {
    int budget = 32;
    for (int n = r - l + 1; n > 1; n >>= 1)
        budget += 2;
    ListQuickSortPart(l, r, compare, exchange, budget);
}

} // namespace ut
