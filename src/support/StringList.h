#pragma once
// An ordered list of strings with a payload each: sorted or not, a duplicates policy,
// binary Find on sorted lists, and change notifications bracketed by BeginUpdate/EndUpdate.
// Keys compare without regard to letter case.
#include "support/Exceptions.h"
#include "support/ListAlgorithms.h"
#include "support/Textutil.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace ut {

enum class TDuplicates { dupIgnore = 0, dupAccept = 1, dupError = 2 };

struct NoPayload {};

template <class T> class BasicStringList {
  public:
    using Payload = T;
    using Notify = std::function<void(BasicStringList&)>;

    BasicStringList() = default;
    BasicStringList(bool sorted, TDuplicates dups) : FSorted(sorted), FDuplicates(dups) {}
    BasicStringList(const BasicStringList&) = delete;
    BasicStringList& operator=(const BasicStringList&) = delete;
    virtual ~BasicStringList() {
        OnChange = nullptr;
        OnChanging = nullptr;
    }

    Notify OnChange;
    Notify OnChanging;

    int Count() const { return static_cast<int>(FItems.size()); }
    bool Empty() const { return FItems.empty(); }

    const std::string& operator[](int i) const { return Strings(i); }
    const std::string& Strings(int i) const {
        CheckIndex(i, Count() - 1);
        return At(i).str;
    }
    T& Objects(int i) {
        CheckIndex(i, Count() - 1);
        return At(i).obj;
    }
    const T& Objects(int i) const {
        CheckIndex(i, Count() - 1);
        return At(i).obj;
    }

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value) {
        if (value == FSorted)
            return;
        if (value)
            Sort();
        FSorted = value;
    }
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates d) { FDuplicates = d; }
    /// Replaces the key comparison (default: case-insensitive).
    void SetCompare(std::function<int(std::string_view, std::string_view)> cmp) {
        FCompare = std::move(cmp);
    }
    int CompareStrings(std::string_view a, std::string_view b) const { return FCompare(a, b); }

    int Add(const std::string& s) { return AddObject(s, T{}); }
    int AddObject(const std::string& s, T obj) {
        int index = Count();
        if (FSorted) {
            if (Find(s, index)) {
                if (FDuplicates == TDuplicates::dupIgnore)
                    return index;
                if (FDuplicates == TDuplicates::dupError)
                    throw EStringListError("String list does not allow duplicates");
            }
        }
        InsertItem(index, s, std::move(obj));
        return index;
    }

    void Insert(int index, const std::string& s) { InsertObject(index, s, T{}); }
    void InsertObject(int index, const std::string& s, T obj) {
        if (FSorted)
            throw EStringListError("Operation not allowed on sorted string list");
        CheckIndex(index, Count());
        InsertItem(index, s, std::move(obj));
    }

    void Put(int index, const std::string& s) {
        if (FSorted)
            throw EStringListError("Operation not allowed on sorted string list");
        CheckIndex(index, Count() - 1);
        Changing();
        At(index).str = s;
        Changed();
    }
    void PutObject(int index, T obj) {
        CheckIndex(index, Count() - 1);
        Changing();
        At(index).obj = std::move(obj);
        Changed();
    }

    void Delete(int index) {
        CheckIndex(index, Count() - 1);
        Changing();
        FItems.erase(FItems.begin() + index);
        Changed();
    }

    /// Removes the item and hands back its payload.
    T Extract(int index) {
        CheckIndex(index, Count() - 1);
        Changing();
        T obj = std::move(At(index).obj);
        FItems.erase(FItems.begin() + index);
        Changed();
        return obj;
    }

    void Clear() {
        if (FItems.empty())
            return;
        Changing();
        FItems.clear();
        Changed();
    }

    void Exchange(int i1, int i2) {
        CheckIndex(i1, Count() - 1);
        CheckIndex(i2, Count() - 1);
        Changing();
        std::swap(FItems[static_cast<size_t>(i1)], FItems[static_cast<size_t>(i2)]);
        Changed();
    }

    /// Binary search over the keys; `index` is where `s` is or belongs.
    bool Find(std::string_view s, int& index) const {
        return ListFind(
            Count(), [&](int i) { return FCompare(At(i).str, s); },
            FDuplicates == TDuplicates::dupAccept, index);
    }

    int IndexOf(std::string_view s) const {
        if (FSorted) {
            int i = 0;
            return Find(s, i) ? i : -1;
        }
        for (int i = 0; i < Count(); ++i)
            if (FCompare(At(i).str, s) == 0)
                return i;
        return -1;
    }

    int IndexOfObject(const T& obj) const {
        for (int i = 0; i < Count(); ++i)
            if (At(i).obj == obj)
                return i;
        return -1;
    }

    void Sort() {
        CustomSort([this](const BasicStringList& l, int a, int b) {
            return FCompare(l.At(a).str, l.At(b).str);
        });
    }
    void CustomSort(const std::function<int(const BasicStringList&, int, int)>& compare) {
        if (FSorted || Count() < 2)
            return;
        Changing();
        QuickSort(0, Count() - 1, compare);
        Changed();
    }

    void BeginUpdate() {
        if (FUpdateCount == 0)
            SetUpdateState(true);
        ++FUpdateCount;
    }
    /// An unmatched EndUpdate is ignored, so the notifications cannot be silenced for good.
    void EndUpdate() {
        if (FUpdateCount == 0)
            return;
        --FUpdateCount;
        if (FUpdateCount == 0)
            SetUpdateState(false);
    }
    int UpdateCount() const { return FUpdateCount; }

    /// Clear, then Add every string of `src` (obeying Sorted and Duplicates), inside one
    /// update bracket. Payloads are copied from a list of the same payload type.
    /// `src` is any list with Count() and operator[] (string lists, the dual string list).
    template <class List> void AssignStrings(const List& src) {
        if (static_cast<const void*>(&src) == static_cast<const void*>(this))
            return;
        BeginUpdate();
        try {
            Clear();
            AddStrings(src);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    void AssignStrings(const std::vector<std::string>& src) {
        BeginUpdate();
        try {
            Clear();
            for (const auto& s : src)
                Add(s);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    /// Adds every string of `src` (with its payload when the payload types agree).
    template <class List> void AddStrings(const List& src) {
        BeginUpdate();
        try {
            const int n = src.Count();
            for (int i = 0; i < n; ++i) {
                if constexpr (std::is_same_v<List, BasicStringList> &&
                              std::is_copy_constructible_v<T>)
                    AddObject(src[i], src.Objects(i));
                else
                    Add(src[i]);
            }
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    std::vector<std::string> ToVector() const {
        std::vector<std::string> out;
        out.reserve(FItems.size());
        for (const auto& it : FItems)
            out.push_back(it->str);
        return out;
    }

    /// The lines joined by CR LF, each line ended.
    std::string Text() const {
        std::string out;
        for (const auto& it : FItems) {
            out += it->str;
            out += "\r\n";
        }
        return out;
    }

  protected:
    struct Item {
        std::string str;
        T obj;
    };

    virtual void SetUpdateState(bool updating) {
        if (updating)
            Changing();
        else
            Changed();
    }
    void Changing() {
        if (FUpdateCount == 0 && OnChanging)
            OnChanging(*this);
    }
    void Changed() {
        if (FUpdateCount == 0 && OnChange)
            OnChange(*this);
    }
    static void CheckIndex(int index, int max) {
        if (index < 0 || index > max)
            throw EStringListError(Format("List index out of bounds (%d)", index));
    }
    void InsertItem(int index, const std::string& s, T obj) {
        Changing();
        FItems.insert(FItems.begin() + index, std::make_unique<Item>(Item{s, std::move(obj)}));
        Changed();
    }
    void QuickSort(int l, int r, const std::function<int(const BasicStringList&, int, int)>& cmp) {
        ListQuickSort(
            l, r, [&](int a, int b) { return cmp(*this, a, b); },
            [this](int a, int b) {
                std::swap(FItems[static_cast<size_t>(a)], FItems[static_cast<size_t>(b)]);
            });
    }

    Item& At(int i) { return *FItems[static_cast<size_t>(i)]; }
    const Item& At(int i) const { return *FItems[static_cast<size_t>(i)]; }

    // Items are held through pointers: inserting into a long sorted list moves pointers,
    // not strings and payloads.
    std::vector<std::unique_ptr<Item>> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
    int FUpdateCount = 0;
    std::function<int(std::string_view, std::string_view)> FCompare = AnsiCompareText;
};

/// A plain string list; the payload is an integer (sizes, flags).
using TStringList = BasicStringList<std::intptr_t>;

/// A sorted string list with the given duplicates policy.
inline std::unique_ptr<TStringList> NewSortedStrings(TDuplicates dups) {
    return std::make_unique<TStringList>(true, dups);
}

} // namespace ut
