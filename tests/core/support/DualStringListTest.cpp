#include "support/DualStringList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ut {
namespace {

using Strings = std::vector<std::string>;

/// Records the notifications of a list as "changing" / "changed".
struct EventLog {
    Strings events;
    void Attach(TDualStringList& list) {
        list.OnChanging = [this](TDualStringList&) { events.push_back("changing"); };
        list.OnChange = [this](TDualStringList&) { events.push_back("changed"); };
    }
};

Strings Duals(const TDualStringList& list) {
    Strings out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Duals(i));
    return out;
}

void Fill(TDualStringList& list, const std::vector<std::pair<std::string, std::string>>& pairs) {
    for (const auto& [key, dual] : pairs)
        list.AddDual(key, dual);
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EStringListError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(DualStringList, AddDualOnSortedDupIgnoreReplacesTheDualOfTheHeldKey) {
    TDualStringList list;
    list.SetSorted(true);
    EventLog log;
    log.Attach(list);
    EXPECT_EQ(list.AddDual("Forms", "A"), 0);
    EXPECT_EQ(list.AddDual("FORMS", "B"), 0);
    EXPECT_EQ(list.ToVector(), Strings{"Forms"});
    EXPECT_EQ(Duals(list), Strings{"B"});
    // The first call brackets the inner Add; the second adds nothing, so only the outer pair.
    EXPECT_EQ(log.events,
              (Strings{"changing", "changing", "changed", "changed", "changing", "changed"}));
}

TEST(DualStringList, AddDualOnUnsortedListAppendsEqualKeys) {
    TDualStringList list;
    EXPECT_EQ(list.AddDual("Forms", "A"), 0);
    EXPECT_EQ(list.AddDual("FORMS", "B"), 1);
    EXPECT_EQ(list.ToVector(), (Strings{"Forms", "FORMS"}));
    EXPECT_EQ(Duals(list), (Strings{"A", "B"}));
    EXPECT_EQ(list.DualOf("forms"), "A") << "DualOf gives the first of equal keys";
    EXPECT_EQ(list.IndexOf("fORMS"), 0);
    EXPECT_EQ(list.DualOf("Controls"), "");
    EXPECT_EQ(list.IndexOf("Controls"), -1);
    // Objects are accepted and ignored, even out of range.
    int object = 0;
    list.PutObject(99, &object);
    EXPECT_EQ(list.Objects(0), nullptr);
}

TEST(DualStringList, SortedDupAcceptInsertsBeforeEqualKeysAndFindsTheFirst) {
    TDualStringList list;
    list.SetDuplicates(TDuplicates::dupAccept);
    list.SetSorted(true);
    Fill(list, {{"a", ""}, {"M", "x1"}, {"z", ""}});
    EXPECT_EQ(list.AddDual("m", "x2"), 1);
    EXPECT_EQ(list.AddDual("M", "x3"), 1);
    EXPECT_EQ(list.ToVector(), (Strings{"a", "M", "m", "M", "z"}));
    EXPECT_EQ(Duals(list), (Strings{"", "x3", "x2", "x1", ""}));
    int index = -1;
    EXPECT_TRUE(list.Find("m", index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(list.DualOf("M"), "x3");
}

TEST(DualStringList, FindReportsWhereAMissingKeyBelongs) {
    TDualStringList list;
    list.SetSorted(true);
    Fill(list, {{"Classes", ""}, {"Forms", ""}, {"SysUtils", ""}});
    struct Case {
        const char* key;
        bool found;
        int index;
    };
    for (const Case& c :
         {Case{"Abc", false, 0}, Case{"classes", true, 0}, Case{"Db", false, 1},
          Case{"FORMS", true, 1}, Case{"Graphics", false, 2}, Case{"Windows", false, 3}}) {
        int index = -1;
        EXPECT_EQ(list.Find(c.key, index), c.found) << c.key;
        EXPECT_EQ(index, c.index) << c.key;
    }
}

TEST(DualStringList, SortedDupErrorRefusesAHeldKeyWithoutChange) {
    TDualStringList list;
    list.SetDuplicates(TDuplicates::dupError);
    list.SetSorted(true);
    list.AddDual("Forms", "A");
    EventLog log;
    log.Attach(list);
    EXPECT_EQ(ErrorOf([&] { list.AddDual("forms", "B"); }), "Dup string!");
    EXPECT_EQ(ErrorOf([&] { list.Add("FORMS"); }), "Dup string!");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Duals(0), "A");
    // AddDual's outer Changing has fired before the refusal; no Changed follows.
    EXPECT_EQ(log.events, Strings{"changing"});
}

TEST(DualStringList, RefusalsCarryTheirMessages) {
    TDualStringList list;
    Fill(list, {{"a", "1"}, {"b", "2"}, {"c", "3"}});
    struct Case {
        const char* name;
        std::function<void()> action;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"Strings below range", [&] { (void)list.Strings(-1); }, "List index out of bounds (-1)"},
        {"Strings at Count", [&] { (void)list[3]; }, "List index out of bounds (3)"},
        {"Duals read", [&] { (void)list.Duals(3); }, "List index out of bounds (3)"},
        {"Duals write", [&] { list.SetDuals(-2, "x"); }, "List index out of bounds (-2)"},
        {"Put", [&] { list.Put(7, "x"); }, "List index out of bounds (7)"},
        {"Delete", [&] { list.Delete(3); }, "List index out of bounds (3)"},
        {"Exchange second", [&] { list.Exchange(0, 9); }, "List index out of bounds (9)"},
        {"Insert past Count", [&] { list.Insert(4, "x"); }, "List index out of bounds (4)"},
        {"Insert below range", [&] { list.Insert(-1, "x"); }, "List index out of bounds (-1)"},
        {"InsertDual past Count", [&] { list.InsertDual(4, "x", "y"); },
         "List index out of bounds (4)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.action), c.message) << c.name;
    EXPECT_EQ(list.ToVector(), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Duals(list), (Strings{"1", "2", "3"}));
}

TEST(DualStringList, SortedListRefusesPutAndInsertBeforeTheRangeTest) {
    TDualStringList list;
    list.SetSorted(true);
    list.Add("a");
    EXPECT_EQ(ErrorOf([&] { list.Put(0, "b"); }), "Sorted list err!");
    EXPECT_EQ(ErrorOf([&] { list.Put(99, "b"); }), "Sorted list err!");
    EXPECT_EQ(ErrorOf([&] { list.InsertDual(99, "b", "c"); }), "Sorted list err!");
    // Duals and Exchange stay allowed on a sorted list.
    list.Add("b");
    list.SetDuals(0, "dual");
    list.Exchange(0, 1);
    EXPECT_EQ(list.ToVector(), (Strings{"b", "a"}));
    EXPECT_EQ(Duals(list), (Strings{"", "dual"}));
}

TEST(DualStringList, InsertAtCountAppendsAndPutKeepsTheDual) {
    TDualStringList list;
    Fill(list, {{"a", "1"}, {"b", "2"}});
    list.Insert(2, "c");
    list.InsertDual(0, "z", "26");
    list.Put(1, "A");
    EXPECT_EQ(list.ToVector(), (Strings{"z", "A", "b", "c"}));
    EXPECT_EQ(Duals(list), (Strings{"26", "1", "2", ""}));
    list.Delete(1);
    EXPECT_EQ(list.ToVector(), (Strings{"z", "b", "c"}));
    EXPECT_EQ(Duals(list), (Strings{"26", "2", ""}));
}

TEST(DualStringList, SortingMovesDualsWithTheirKeys) {
    TDualStringList list;
    Fill(list, {{"Windows", "w"}, {"classes", "c"}, {"Forms", "f"}, {"controls", "o"}});
    EventLog log;
    log.Attach(list);
    list.SetSorted(true);
    EXPECT_EQ(log.events, (Strings{"changing", "changed"}));
    EXPECT_EQ(list.ToVector(), (Strings{"classes", "controls", "Forms", "Windows"}));
    EXPECT_EQ(Duals(list), (Strings{"c", "o", "f", "w"}));
    list.SetSorted(false); // keeps the order
    list.CustomSort(       // descending by dual
        [](const TDualStringList& l, int a, int b) { return l.Duals(b).compare(l.Duals(a)); });
    EXPECT_EQ(Duals(list), (Strings{"w", "o", "f", "c"}));
}

TEST(DualStringList, UpdateBracketsFireOnceAtTheOutermostLevel) {
    TDualStringList list;
    EventLog log;
    log.Attach(list);
    list.BeginUpdate();
    list.BeginUpdate();
    list.AddDual("a", "1");
    list.Add("b");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(log.events, Strings{"changing"});
    list.EndUpdate();
    EXPECT_EQ(log.events, (Strings{"changing", "changed"}));
    list.EndUpdate(); // unmatched: must not silence later notifications
    list.Add("c");
    EXPECT_EQ(log.events, (Strings{"changing", "changed", "changing", "changed"}));
}

TEST(DualStringList, AssignFromDualListCopiesPairsInSourceOrder) {
    TDualStringList source;
    Fill(source, {{"Zeta", "z"}, {"alpha", "a"}, {"ALPHA", "A"}});
    TDualStringList target;
    target.SetSorted(true);
    target.SetDuplicates(TDuplicates::dupError);
    target.Add("old");
    EventLog log;
    log.Attach(target);
    target.Assign(source);
    EXPECT_EQ(target.ToVector(), (Strings{"Zeta", "alpha", "ALPHA"}));
    EXPECT_EQ(Duals(target), (Strings{"z", "a", "A"}));
    EXPECT_TRUE(target.Sorted());
    EXPECT_EQ(target.Duplicates(), TDuplicates::dupError);
    EXPECT_EQ(log.events, (Strings{"changing", "changed"}));
    target.Assign(target); // self-assignment keeps the pairs
    EXPECT_EQ(Duals(target), (Strings{"z", "a", "A"}));
}

TEST(DualStringList, AssignFromStringListAddsEachString) {
    TStringList source;
    for (const char* s : {"SysUtils", "Forms", "sysutils"})
        source.Add(s);
    TDualStringList target;
    target.SetSorted(true);
    target.AddDual("Windows", "w");
    target.Assign(source);
    EXPECT_EQ(target.ToVector(), (Strings{"Forms", "SysUtils"}));
    EXPECT_EQ(Duals(target), (Strings{"", ""}));

    const TStringList* absent = nullptr;
    target.Assign(absent);
    EXPECT_EQ(target.Count(), 2);
}

TEST(DualStringList, AssignStopsCleanlyWhenAddRefuses) {
    TDualStringList target;
    target.SetDuplicates(TDuplicates::dupError);
    target.SetSorted(true);
    EXPECT_EQ(ErrorOf([&] { target.Assign(Strings{"a", "A"}); }), "Dup string!");
    EventLog log;
    log.Attach(target);
    target.Add("b"); // the update bracket was closed: notifications work again
    EXPECT_EQ(log.events, (Strings{"changing", "changed"}));
}

} // namespace
} // namespace ut
