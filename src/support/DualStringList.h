#pragma once
// An ordered list of string pairs: a key, which is the item's string for indexing, Add,
// IndexOf, Find and sorting, and a second string, its dual. Keys compare without regard to
// letter case. Used as a small table: unit name to file path, DLL name to full path.
#include "support/Exceptions.h"
#include "support/StringList.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ut {

class TDualStringList {
  public:
    using Notify = std::function<void(TDualStringList&)>;
    using CompareFn = std::function<int(const TDualStringList&, int, int)>;

    TDualStringList() = default;
    TDualStringList(const TDualStringList&) = delete;
    TDualStringList& operator=(const TDualStringList&) = delete;
    /// Destruction notifies nobody.
    ~TDualStringList();

    Notify OnChange;
    Notify OnChanging;

    int Count() const { return static_cast<int>(FList.size()); }
    /// Allocated items; grows by 4 up to 8, by 16 up to 64, then by a quarter.
    int Capacity() const { return FCapacity; }
    /// Reallocates to `n` items when `n` is greater than Count; otherwise does nothing.
    void SetCapacity(int n);

    const std::string& operator[](int index) const { return Strings(index); }
    const std::string& Strings(int index) const;
    /// Replaces the key of an item; refused on a sorted list.
    void Put(int index, const std::string& s);
    const std::string& Duals(int index) const;
    /// Replaces the dual of an item; allowed on a sorted list.
    void SetDuals(int index, const std::string& dual);

    /// The list stores no objects: every item's object reads as null, storing one does
    /// nothing (for any index).
    void* Objects(int /*index*/) const { return nullptr; }
    template <class Obj> void PutObject(int /*index*/, const Obj& /*obj*/) {}
    template <class Obj> int AddObject(const std::string& s, const Obj& /*obj*/) { return Add(s); }

    bool Sorted() const { return FSorted; }
    /// Setting true sorts the list first; setting false keeps the order.
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }

    /// Appends (unsorted) or inserts in key order (sorted, obeying Duplicates); the new
    /// item's dual is empty. Returns the item's index.
    int Add(const std::string& s);
    /// Add, then store `dual` at the returned index: on a sorted dupIgnore list holding the
    /// key already, this replaces that item's dual.
    int AddDual(const std::string& s, const std::string& dual);
    /// Inserts at 0..Count with an empty dual; refused on a sorted list.
    void Insert(int index, const std::string& s);
    void InsertDual(int index, const std::string& s, const std::string& dual);
    void Delete(int index);
    /// Empties the list and keeps the storage; on an empty list nothing fires.
    void Clear();
    void Exchange(int index1, int index2);

    /// Binary search over the keys, whatever Sorted says; `index` is where `s` is or belongs.
    /// With dupAccept a found index is the first of the equal keys.
    bool Find(std::string_view s, int& index) const;
    /// Linear search when unsorted, Find when sorted; -1 when absent.
    int IndexOf(std::string_view s) const;
    /// The dual of the first item whose key equals `s`; empty when there is none.
    std::string DualOf(std::string_view s) const;

    void Sort();
    /// Quicksort of the whole list; does nothing on a sorted list or with fewer than 2 items.
    void CustomSort(const CompareFn& compare);

    /// Copies the pairs of another dual list in its order, without sorting or duplicate
    /// tests; Sorted and Duplicates stay as they are.
    void Assign(const TDualStringList& source);
    /// Clear, then Add every string of another string list (duals empty).
    template <class T> void Assign(const BasicStringList<T>& source);
    void Assign(const std::vector<std::string>& source);
    /// An absent source changes nothing.
    template <class List> void Assign(const List* source) {
        if (source != nullptr)
            Assign(*source);
    }

    void BeginUpdate();
    void EndUpdate();

    std::vector<std::string> ToVector() const;
    /// The keys joined by CR LF, each line ended.
    std::string Text() const;

  private:
    struct T2StringItem {
        std::string FString;
        std::string FDual;
    };

    void Changing();
    void Changed();
    void SetUpdateState(bool updating);
    void CheckIndex(int index) const;
    void InsertItem(int index, const std::string& s);
    void Grow();
    void QuickSort(int l, int r, const CompareFn& compare);
    template <class Fill> void Refill(Fill fill);

    std::vector<T2StringItem> FList;
    int FCapacity = 0;
    bool FSorted = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
    int FUpdateCount = 0;
};

template <class Fill> void TDualStringList::Refill(Fill fill) {
    BeginUpdate();
    try {
        Clear();
        fill();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

template <class T> void TDualStringList::Assign(const BasicStringList<T>& source) {
    Refill([&] {
        const int n = source.Count();
        for (int i = 0; i < n; ++i)
            Add(source[i]);
    });
}

} // namespace ut
