#pragma once
// A list of references kept in order by a comparison function and used as a set (the units
// on the path from a tree's root to a node). The list does not own its items.
#include <functional>
#include <utility>
#include <vector>

namespace ut {

class TSortedList {
  public:
    /// Negative, zero or positive, comparing a held element (first) with another (second).
    using CompareFn = std::function<int(const void*, const void*)>;

    TSortedList() = default;
    explicit TSortedList(CompareFn compare) : FCompare(std::move(compare)) {}

    /// An empty function restores the default: order by address.
    void SetCompare(CompareFn compare) { FCompare = std::move(compare); }
    bool AllowDuplicates() const { return FAllowDuplicates; }
    void SetAllowDuplicates(bool value) { FAllowDuplicates = value; }

    int Count() const { return static_cast<int>(FItems.size()); }
    /// Throws EListError "List index out of bounds (%d)".
    void* operator[](int index) const;
    const std::vector<void*>& Items() const { return FItems; }

    /// Binary search; `index` is where `item` is or belongs. With AllowDuplicates a found
    /// index is the first of the equal items.
    bool Find(const void* item, int& index) const;
    /// Inserts at the position Find gives; -1 when an equal item is held and duplicates are
    /// not allowed.
    int Add(void* item);
    /// Index of this very reference (linear), or -1.
    int IndexOf(const void* item) const;
    /// Removes this very reference; returns its former index or -1.
    int Remove(const void* item);
    void Delete(int index);
    void Clear() { FItems.clear(); }

  private:
    int Compare(const void* a, const void* b) const;

    std::vector<void*> FItems;
    CompareFn FCompare;
    bool FAllowDuplicates = false;
};

/// The same set with typed references.
template <class T> class SortedListOf {
  public:
    using CompareFn = std::function<int(const T*, const T*)>;

    SortedListOf() = default;
    explicit SortedListOf(CompareFn compare) { SetCompare(std::move(compare)); }

    void SetCompare(CompareFn compare) {
        if (!compare) {
            FList.SetCompare(nullptr);
            return;
        }
        FList.SetCompare([compare = std::move(compare)](const void* a, const void* b) {
            return compare(static_cast<const T*>(a), static_cast<const T*>(b));
        });
    }
    bool AllowDuplicates() const { return FList.AllowDuplicates(); }
    void SetAllowDuplicates(bool value) { FList.SetAllowDuplicates(value); }

    int Count() const { return FList.Count(); }
    T* operator[](int index) const { return static_cast<T*>(FList[index]); }
    bool Find(const T* item, int& index) const { return FList.Find(item, index); }
    int Add(T* item) { return FList.Add(item); }
    int IndexOf(const T* item) const { return FList.IndexOf(item); }
    int Remove(const T* item) { return FList.Remove(item); }
    void Delete(int index) { FList.Delete(index); }
    void Clear() { FList.Clear(); }

  private:
    TSortedList FList;
};

} // namespace ut
