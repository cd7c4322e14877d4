// The string lists, the dual string list, the reference set and the ignored-units component.
#include "support/DualStringList.h"
#include "support/Exceptions.h"
#include "support/ListAlgorithms.h"
#include "support/SortedList.h"
#include "support/StringList.h"
#include "support/StringsComp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ut {
namespace {

using Strings = std::vector<std::string>;
template <class Value> using Table = std::vector<std::pair<const char*, Value>>;

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    return "(no error)";
}

template <class List> void Record(List& list, Strings& events) {
    list.OnChanging = [&events](List&) { events.push_back("changing"); };
    list.OnChange = [&events](List&) { events.push_back("changed"); };
}

Strings Duals(const TDualStringList& list) {
    Strings out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Duals(i));
    return out;
}

TEST(StringList, SortedAddFollowsTheDuplicatesPolicy) {
    TStringList accept(true, TDuplicates::dupAccept);
    for (const char* s : {"b", "a", "B", "A", "b"})
        accept.Add(s);
    // Each equal key goes in before the ones already held; Find gives the first of them.
    EXPECT_EQ(accept.ToVector(), (Strings{"A", "a", "b", "B", "b"}));
    int index = -1;
    EXPECT_TRUE(accept.Find("B", index));
    EXPECT_EQ(index, 2);

    TStringList ignore(true, TDuplicates::dupIgnore);
    for (const char* s : {"Forms", "Classes", "SysUtils"})
        ignore.Add(s);
    EXPECT_EQ(ignore.Add("FORMS"), 1);
    EXPECT_EQ(ignore.ToVector(), (Strings{"Classes", "Forms", "SysUtils"}));
    // Where a missing key belongs, at either end and between.
    for (auto [key, at] : Table<int>{{"Abc", 0}, {"Db", 1}, {"Graphics", 2}, {"Windows", 3}}) {
        EXPECT_FALSE(ignore.Find(key, index)) << key;
        EXPECT_EQ(index, at) << key;
    }

    TStringList error(true, TDuplicates::dupError);
    error.Add("Forms");
    EXPECT_EQ(ErrorOf([&] { error.Add("forms"); }), "String list does not allow duplicates");
    EXPECT_EQ(error.Count(), 1);
}

TEST(StringList, PayloadsSurviveRefusedDuplicatesAndCopyBetweenListsOfOneType) {
    // A payload may own what it points at: a refused duplicate must not replace it.
    BasicStringList<std::unique_ptr<int>> owning(true, TDuplicates::dupIgnore);
    owning.AddObject("Forms", std::make_unique<int>(1));
    EXPECT_EQ(owning.AddObject("FORMS", std::make_unique<int>(2)), 0);
    EXPECT_EQ(*owning.Objects(0), 1);

    TStringList source;
    source.AddObject("b", 2);
    source.AddObject("a", 1);
    TStringList target(true, TDuplicates::dupIgnore);
    target.AssignStrings(source);
    EXPECT_EQ(target.ToVector(), (Strings{"a", "b"}));
    EXPECT_EQ(target.Objects(0), 1);
    EXPECT_EQ(target.Objects(1), 2);
}

TEST(StringList, SortOrdersAManyItemListLikeTheKeyComparison) {
    TStringList list;
    for (int i = 0; i < 200; ++i)
        list.Add((i % 3 ? "unit" : "UNIT") + std::to_string((i * 7919) % 1009));
    Strings expected = list.ToVector();
    std::sort(expected.begin(), expected.end(),
              [](const auto& a, const auto& b) { return AnsiCompareText(a, b) < 0; });
    list.Sort();
    EXPECT_EQ(list.ToVector(), expected);
}

// McIlroy's adversary gives an item its value only when the sort compares it, so that each
// partition splits off as few items as it can: the plain quicksort went quadratic on the
// order it makes (10^10 comparisons for 200,000 names), recursing once per partition.
TEST(ListQuickSort, AnAdversarialOrderStaysShallowAndNLogN) {
    const int n = 200000, gas = n;
    std::vector<int> value(n, gas), at(n); // value of each item; item at each position
    for (int i = 0; i < n; ++i)
        at[i] = i;
    int solid = 0, candidate = -1; // values given so far; the item last compared with gas
    long long comparisons = 0;
    const auto compare = [&](int a, int b) {
        if (++comparisons > 8LL * n * 18) // n log2 n is below 18 n
            throw std::length_error("more than 8 n log2 n comparisons");
        const int x = at[a], y = at[b];
        if (value[x] == gas && value[y] == gas)
            value[x == candidate ? x : y] = solid++;
        candidate = value[x] == gas ? x : value[y] == gas ? y : candidate;
        return value[x] - value[y];
    };
    ASSERT_NO_THROW(
        ListQuickSort(0, n - 1, compare, [&](int a, int b) { std::swap(at[a], at[b]); }));
    for (int i = 0; i < n; i += 1000)
        EXPECT_EQ(value[at[i]], i);
}

// Both list types bracket their notifications the same way.
template <class List, class AssignWithDuplicate> void CheckNotifications(AssignWithDuplicate fail) {
    List list;
    Strings events;
    Record(list, events);
    list.Clear(); // empty: nothing
    list.BeginUpdate();
    list.BeginUpdate();
    for (const char* s : {"c", "b", "a"})
        list.Add(s);
    list.Delete(0);
    list.EndUpdate();
    list.EndUpdate();
    EXPECT_EQ(events, (Strings{"changing", "changed"}));
    list.EndUpdate(); // unmatched: must not silence later notifications
    list.SetSorted(true);
    list.Sort(); // already sorted: nothing
    EXPECT_EQ(events, (Strings{"changing", "changed", "changing", "changed"}));

    List target;
    target.SetDuplicates(TDuplicates::dupError);
    target.SetSorted(true);
    EXPECT_NE(ErrorOf([&] { fail(target); }), "(no error)");
    events.clear();
    Record(target, events);
    target.Add("b"); // the failed assignment closed its update bracket
    EXPECT_EQ(events, (Strings{"changing", "changed"}));
}

TEST(StringList, NotificationsFollowTheUpdateBrackets) {
    CheckNotifications<TStringList>([](TStringList& l) { l.AssignStrings(Strings{"a", "A"}); });
    CheckNotifications<TDualStringList>([](TDualStringList& l) { l.Assign(Strings{"a", "A"}); });
}

TEST(DualStringList, AddDualFollowsTheDuplicatesPolicyWithItsDual) {
    TDualStringList ignore;
    ignore.SetSorted(true);
    EXPECT_EQ(ignore.AddDual("Forms", "A"), 0);
    EXPECT_EQ(ignore.AddDual("FORMS", "B"), 0);
    EXPECT_EQ(ignore.ToVector(), Strings{"Forms"});
    EXPECT_EQ(Duals(ignore), Strings{"B"}) << "the held key's dual is replaced";

    TDualStringList accept;
    accept.SetDuplicates(TDuplicates::dupAccept);
    accept.SetSorted(true);
    for (auto [key, dual] :
         Table<const char*>{{"a", ""}, {"M", "x1"}, {"z", ""}, {"m", "x2"}, {"M", "x3"}})
        accept.AddDual(key, dual);
    EXPECT_EQ(accept.ToVector(), (Strings{"a", "M", "m", "M", "z"}));
    EXPECT_EQ(Duals(accept), (Strings{"", "x3", "x2", "x1", ""}));
    EXPECT_EQ(accept.DualOf("m"), "x3") << "the first of equal keys";

    TDualStringList error;
    error.SetDuplicates(TDuplicates::dupError);
    error.SetSorted(true);
    error.AddDual("Forms", "A");
    Strings events;
    Record(error, events);
    EXPECT_EQ(ErrorOf([&] { error.AddDual("forms", "B"); }), "Dup string!");
    EXPECT_EQ(Duals(error), Strings{"A"});
    EXPECT_EQ(events, Strings{"changing"}) << "no Changed after a refusal";

    TDualStringList unsorted; // appends equal keys; lookups find the first
    unsorted.AddDual("Forms", "A");
    EXPECT_EQ(unsorted.AddDual("FORMS", "B"), 1);
    EXPECT_EQ(unsorted.DualOf("forms"), "A");
    EXPECT_EQ(unsorted.DualOf("Controls"), "");
}

TEST(DualStringList, RefusalsCarryTheirMessagesAndChangeNothing) {
    TStringList strings(true, TDuplicates::dupIgnore);
    strings.Add("a");
    TDualStringList sorted; // refused before the range is looked at
    sorted.SetSorted(true);
    TDualStringList list;
    for (auto [key, dual] : Table<const char*>{{"a", "1"}, {"b", "2"}, {"c", "3"}})
        list.AddDual(key, dual);
    const std::vector<std::pair<std::function<void()>, const char*>> cases = {
        {[&] { (void)list.Duals(3); }, "List index out of bounds (3)"},
        {[&] { list.Exchange(0, 9); }, "List index out of bounds (9)"},
        {[&] { list.Insert(4, "x"); }, "List index out of bounds (4)"},
        {[&] { list.InsertDual(-1, "x", "y"); }, "List index out of bounds (-1)"},
        {[&] { strings.Put(0, "b"); }, "Operation not allowed on sorted string list"},
        {[&] { strings.Delete(1); }, "List index out of bounds (1)"},
        {[&] { (void)strings.Objects(-1); }, "List index out of bounds (-1)"},
        {[&] { sorted.Put(99, "b"); }, "Sorted list err!"},
        {[&] { sorted.InsertDual(0, "b", "c"); }, "Sorted list err!"}};
    for (const auto& [action, message] : cases)
        EXPECT_EQ(ErrorOf(action), message);
    EXPECT_EQ(Duals(list), (Strings{"1", "2", "3"}));
}

TEST(DualStringList, EditsAndSortingKeepEachDualWithItsKey) {
    TDualStringList list;
    for (auto [key, dual] : Table<const char*>{{"Windows", "w"}, {"classes", "c"}, {"Forms", "f"}})
        list.AddDual(key, dual);
    list.Insert(3, "controls");
    list.SetDuals(3, "o");
    list.InsertDual(0, "z", "26");
    list.Put(0, "Zeta");
    list.Delete(1);
    EXPECT_EQ(list.ToVector(), (Strings{"Zeta", "classes", "Forms", "controls"}));
    EXPECT_EQ(Duals(list), (Strings{"26", "c", "f", "o"}));
    list.SetSorted(true);
    list.Exchange(0, 3); // allowed on a sorted list
    EXPECT_EQ(list.ToVector(), (Strings{"Zeta", "controls", "Forms", "classes"}));
    EXPECT_EQ(Duals(list), (Strings{"26", "o", "f", "c"}));
    list.SetSorted(false); // keeps the order
    list.CustomSort(
        [](const TDualStringList& l, int a, int b) { return l.Duals(a).compare(l.Duals(b)); });
    EXPECT_EQ(list.ToVector(), (Strings{"Zeta", "classes", "Forms", "controls"}));
}

TEST(DualStringList, AssignCopiesPairsOrStringsAsTheSourceHasThem) {
    TDualStringList source;
    for (auto [key, dual] : Table<const char*>{{"Zeta", "z"}, {"alpha", "a"}, {"ALPHA", "A"}})
        source.AddDual(key, dual);
    TDualStringList target;
    target.SetSorted(true);
    target.SetDuplicates(TDuplicates::dupError);
    target.Add("old");
    target.Assign(source); // neither sorted nor checked for duplicates
    target.Assign(target);
    EXPECT_EQ(target.ToVector(), (Strings{"Zeta", "alpha", "ALPHA"}));
    EXPECT_EQ(Duals(target), (Strings{"z", "a", "A"})) << "self-assignment keeps the pairs";

    TStringList strings;
    for (const char* s : {"SysUtils", "Forms", "sysutils"})
        strings.Add(s);
    target.Clear();
    target.SetDuplicates(TDuplicates::dupIgnore);
    target.Assign(strings);
    EXPECT_EQ(target.ToVector(), (Strings{"Forms", "SysUtils"}));
}

TEST(StringsComp, HoldsTheFirstOfEqualNamesSortedAndMatchesWholeNames) {
    TStringsComp comp;
    comp.SetLines(DefaultIgnoredUnits());
    comp.MakeSorted();
    EXPECT_EQ(comp.Lines().ToVector(),
              (Strings{"Classes", "Graphics", "Messages", "SysUtils", "Windows"}));
    const Table<bool> names = {
        {"SYSUTILS", true}, {"Window", false}, {"Windows ", false}, {"", false}, {"Forms", false}};
    for (auto [name, ignored] : names)
        EXPECT_EQ(comp.IsIgnored(name), ignored) << name;

    comp.SetLines(Strings{"windows", "Controls", "WINDOWS"});
    EXPECT_EQ(comp.Lines().ToVector(), (Strings{"Controls", "windows"}));
    comp.Assign(nullptr);
    EXPECT_FALSE(comp.IsIgnored("Windows"));
}

TEST(SortedList, OrdersByAddressOrByTheComparisonAndRefusesEqualItems) {
    // Addresses more than 2^31 apart: a truncated difference would get the order wrong.
    const std::uintptr_t far = (std::uintptr_t{1} << 32) + (std::uintptr_t{1} << 31);
    int cells[2] = {};
    TSortedList byAddress;
    for (void* p : {reinterpret_cast<void*>(&cells[1]), reinterpret_cast<void*>(0x10 + far),
                    reinterpret_cast<void*>(&cells[0]), reinterpret_cast<void*>(0x10)})
        byAddress.Add(p);
    EXPECT_EQ(byAddress.Add(&cells[1]), -1) << "the same reference again";
    std::vector<void*> expected(byAddress.Items());
    std::sort(expected.begin(), expected.end(), std::less<void*>());
    EXPECT_EQ(byAddress.Items(), expected);

    struct Named {
        int key;
    };
    Named a{1}, b{2}, b2{2}, b3{2}, c{3};
    SortedListOf<Named> set([](const Named* x, const Named* y) { return x->key - y->key; });
    for (Named* n : {&c, &a, &b})
        set.Add(n);
    EXPECT_EQ(set.Add(&b2), -1) << "an equal key is held already";
    EXPECT_EQ(set.Remove(&b2), -1) << "removes only that very reference";
    set.SetAllowDuplicates(true);
    EXPECT_EQ(set.Add(&b2), 1) << "goes in before the equal items";
    EXPECT_EQ(set.Add(&b3), 1);
    int index = -1;
    EXPECT_TRUE(set.Find(&b, index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(set.Remove(&b), 3);
    EXPECT_EQ(ErrorOf([&] { (void)set[4]; }), "List index out of bounds (4)");
}

} // namespace
} // namespace ut
