#include "support/StringList.h"
#include "support/DualStringList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ut {
namespace {

using Strings = std::vector<std::string>;

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EStringListError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(StringList, SortedAddObeysTheDuplicatesPolicy) {
    TStringList accept(true, TDuplicates::dupAccept);
    for (const char* s : {"b", "a", "B", "A", "b"})
        accept.Add(s);
    // Each equal key goes in before the ones already held.
    EXPECT_EQ(accept.ToVector(), (Strings{"A", "a", "b", "B", "b"}));
    int index = -1;
    EXPECT_TRUE(accept.Find("B", index));
    EXPECT_EQ(index, 2);

    TStringList ignore(true, TDuplicates::dupIgnore);
    EXPECT_EQ(ignore.Add("Forms"), 0);
    EXPECT_EQ(ignore.Add("Classes"), 0);
    EXPECT_EQ(ignore.Add("FORMS"), 1);
    EXPECT_EQ(ignore.ToVector(), (Strings{"Classes", "Forms"}));

    TStringList error(true, TDuplicates::dupError);
    error.Add("Forms");
    EXPECT_EQ(ErrorOf([&] { error.Add("forms"); }), "String list does not allow duplicates");
    EXPECT_EQ(error.Count(), 1);
}

TEST(StringList, SortedListRefusesPositionalChanges) {
    TStringList list(true, TDuplicates::dupIgnore);
    list.Add("a");
    EXPECT_EQ(ErrorOf([&] { list.Put(0, "b"); }), "Operation not allowed on sorted string list");
    EXPECT_EQ(ErrorOf([&] { list.Insert(0, "b"); }), "Operation not allowed on sorted string list");
    EXPECT_EQ(ErrorOf([&] { list.Delete(1); }), "List index out of bounds (1)");
    EXPECT_EQ(ErrorOf([&] { (void)list.Objects(-1); }), "List index out of bounds (-1)");
}

TEST(StringList, AddObjectOnHeldKeyKeepsTheHeldPayload) {
    // A payload may own what it points at: a refused duplicate must not replace it.
    BasicStringList<std::unique_ptr<int>> list(true, TDuplicates::dupIgnore);
    list.AddObject("Forms", std::make_unique<int>(1));
    EXPECT_EQ(list.AddObject("FORMS", std::make_unique<int>(2)), 0);
    EXPECT_EQ(*list.Objects(0), 1);
}

TEST(StringList, AssignStringsCopiesPayloadsOfTheSameTypeOnly) {
    TStringList source;
    source.AddObject("b", 2);
    source.AddObject("a", 1);
    TStringList target(true, TDuplicates::dupIgnore);
    target.AssignStrings(source);
    EXPECT_EQ(target.ToVector(), (Strings{"a", "b"}));
    EXPECT_EQ(target.Objects(0), 1);
    EXPECT_EQ(target.Objects(1), 2);

    TDualStringList dual;
    dual.AddDual("x", "path");
    target.AssignStrings(dual);
    EXPECT_EQ(target.ToVector(), Strings{"x"});
    EXPECT_EQ(target.Objects(0), 0);
}

TEST(StringList, FailedAssignClosesTheUpdateBracket) {
    TStringList target(true, TDuplicates::dupError);
    int changes = 0;
    target.OnChange = [&](TStringList&) { ++changes; };
    EXPECT_EQ(ErrorOf([&] {
                  target.AssignStrings(Strings{"a", "A"});
              }),
              "String list does not allow duplicates");
    EXPECT_EQ(target.UpdateCount(), 0);
    EXPECT_EQ(changes, 1);
    target.Add("b");
    EXPECT_EQ(changes, 2);
}

TEST(StringList, NotificationsFollowUpdateBracketsAndSkipEmptyClear) {
    TStringList list;
    Strings events;
    list.OnChanging = [&](TStringList&) { events.push_back("changing"); };
    list.OnChange = [&](TStringList&) { events.push_back("changed"); };
    list.Clear();
    EXPECT_TRUE(events.empty());
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("b");
    list.Add("a");
    list.EndUpdate();
    list.EndUpdate();
    EXPECT_EQ(events, (Strings{"changing", "changed"}));
    events.clear();
    list.EndUpdate(); // unmatched: ignored
    list.SetSorted(true);
    EXPECT_EQ(events, (Strings{"changing", "changed"}));
    events.clear();
    list.Sort(); // already sorted: nothing
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(list.ToVector(), (Strings{"a", "b"}));
}

} // namespace
} // namespace ut
