#include "support/SortedList.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ut {
namespace {

struct Named {
    int key;
};

int ByKey(const Named* a, const Named* b) {
    return a->key - b->key;
}

TEST(SortedList, WithoutCompareOrdersByAddressAndRefusesTheSameReference) {
    int cells[4] = {};
    TSortedList list;
    EXPECT_EQ(list.Add(&cells[2]), 0);
    EXPECT_EQ(list.Add(&cells[0]), 0);
    EXPECT_EQ(list.Add(&cells[3]), 2);
    EXPECT_EQ(list.Add(&cells[1]), 1);
    EXPECT_EQ(list.Add(&cells[2]), -1);
    ASSERT_EQ(list.Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list[i], &cells[i]);
}

TEST(SortedList, AddressOrderHoldsForFarApartAddresses) {
    // Addresses more than 2^31 apart: a truncated difference would get the order wrong.
    auto* low = reinterpret_cast<void*>(std::uintptr_t{0x10});
    auto* high = reinterpret_cast<void*>(std::uintptr_t{0x10} + (std::uintptr_t{1} << 32) +
                                         (std::uintptr_t{1} << 31));
    TSortedList list;
    list.Add(high);
    EXPECT_EQ(list.Add(low), 0);
    int index = -1;
    EXPECT_TRUE(list.Find(high, index));
    EXPECT_EQ(index, 1);
}

TEST(SortedList, EqualItemsByCompareAreRefusedUnlessDuplicatesAreAllowed) {
    Named a{1}, b{2}, b2{2}, b3{2}, c{3};
    SortedListOf<Named> set(ByKey);
    set.Add(&c);
    set.Add(&a);
    set.Add(&b);
    EXPECT_EQ(set.Add(&b2), -1) << "an equal key is held already";
    EXPECT_EQ(set.Count(), 3);

    set.SetAllowDuplicates(true);
    EXPECT_EQ(set.Add(&b2), 1) << "goes in before the equal items";
    EXPECT_EQ(set.Add(&b3), 1);
    const std::vector<Named*> expected{&a, &b3, &b2, &b, &c};
    for (int i = 0; i < set.Count(); ++i)
        EXPECT_EQ(set[i], expected[static_cast<size_t>(i)]) << i;
    int index = -1;
    EXPECT_TRUE(set.Find(&b, index));
    EXPECT_EQ(index, 1);
    Named missing{0};
    EXPECT_FALSE(set.Find(&missing, index));
    EXPECT_EQ(index, 0);
}

TEST(SortedList, RemoveTakesThatVeryReference) {
    Named b{2}, twin{2};
    SortedListOf<Named> set(ByKey);
    set.Add(&b);
    EXPECT_EQ(set.IndexOf(&twin), -1);
    EXPECT_EQ(set.Remove(&twin), -1);
    EXPECT_EQ(set.Remove(&b), 0);
    EXPECT_EQ(set.Count(), 0);
    EXPECT_EQ(set.Add(&twin), 0) << "a removed key can be added again";
}

TEST(SortedList, IndexOutOfRangeRaisesListError) {
    TSortedList list;
    int x = 0;
    list.Add(&x);
    for (int bad : {-1, 1}) {
        try {
            (void)list[bad];
            ADD_FAILURE() << bad;
        } catch (const EListError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "List index out of bounds (" + std::to_string(bad) + ")");
        }
    }
    EXPECT_THROW(list.Delete(3), EListError);
    EXPECT_EQ(list.Count(), 1);
}

} // namespace
} // namespace ut
