#include "script/strlist.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "script/module.h"

namespace {

using Items = std::vector<std::string>;

class StringList : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(STRLIST_Init(), 0); }
    void TearDown() override { STRLIST_Terminate(); }

    static Items Contents() {
        Items items;
        const char* text = nullptr;
        for (int i = 0; STRLIST_Get(i, &text) == 0; ++i) items.emplace_back(text);
        return items;
    }
};

TEST_F(StringList, InsertPutsAStringBeforeTheFirstItemItContains) {
    using Case = std::pair<Items, Items>;  // inserted, then the list
    const Case cases[] = {
        // a subdirectory before its parent
        {{"C:\\A", "C:\\A\\B", "C:\\A\\B\\C", "C:\\A\\D"}, {"C:\\A\\B\\C", "C:\\A\\B", "C:\\A\\D", "C:\\A"}},
        {{"C:\\A", "C:\\AB"}, {"C:\\AB", "C:\\A"}},           // a plain substring test
        {{"C:\\A", "C:\\B", "C:\\A"}, {"C:\\A", "C:\\B"}},  // an equal string is not added again
        {{"C:\\A", "c:\\a"}, {"C:\\A", "c:\\a"}},            // the test is case-sensitive
    };
    for (const auto& [inserted, expected] : cases) {
        STRLIST_Terminate();
        ASSERT_EQ(STRLIST_Init(), 0);
        for (const std::string& text : inserted) ASSERT_EQ(STRLIST_Insert(text.c_str()), 0);
        EXPECT_EQ(Contents(), expected);
    }
}

TEST_F(StringList, AppendGetAndRemoveWorkByIndexFromTheHead) {
    for (const char* text : {"one", "two", "three", "four"}) ASSERT_EQ(STRLIST_Append(text), 0);
    const char* kept = nullptr;
    ASSERT_EQ(STRLIST_Get(2, &kept), 0);
    EXPECT_EQ(STRLIST_Remove(1), 0);
    EXPECT_EQ(STRLIST_Remove(2), 0);
    EXPECT_STREQ(kept, "three") << "the item's own string survives other changes";
    EXPECT_EQ(Contents(), Items({"one", "three"}));
    for (int index : {2, -1}) {
        const char* text = "untouched";
        EXPECT_EQ(STRLIST_Get(index, &text), ERROR_STRLIST_NOT_FOUND) << index;
        EXPECT_STREQ(text, "untouched");
        EXPECT_EQ(STRLIST_Remove(index), ERROR_STRLIST_NOT_FOUND) << index;
    }
}

TEST_F(StringList, ContainsComparesWholeStringsIgnoringCase) {
    ASSERT_EQ(STRLIST_Append("C:\\Demo\\Pictures"), 0);
    EXPECT_EQ(STRLIST_Contains("c:\\demo\\PICTURES"), 1);
    EXPECT_EQ(STRLIST_Contains("C:\\Demo"), 0);
}

// The clean-up list empties the list.
TEST_F(StringList, InitTwiceFailsAndKeepsTheList) {
    ASSERT_EQ(STRLIST_Append("x"), 0);
    EXPECT_EQ(STRLIST_Init(), ERROR_STRLIST_INIT);
    EXPECT_EQ(Contents(), Items({"x"}));
    MODULE_RunAll();
    EXPECT_TRUE(Contents().empty());
}

}  // namespace
