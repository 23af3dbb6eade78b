#include "sys/handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Handles are small positive ints; 0 and -1 both mean "none", as with kernel handles.
std::vector<int> g_closed;
struct CountingTraits {
    using pointer = int;
    static pointer invalid() noexcept { return 0; }
    static bool valid(pointer h) noexcept { return h > 0; }
    static void close(pointer h) noexcept { g_closed.push_back(h); }
};
using Owner = zyn::UniqueHandle<CountingTraits>;

class HandleOwner : public ::testing::Test {
protected:
    void SetUp() override { g_closed.clear(); }
};

TEST_F(HandleOwner, ClosesExactlyOnceWhateverPathTheHandleTakes) {
    {
        Owner a(7);
        Owner b(std::move(a));       // construct by move
        Owner c;
        c = std::move(b);            // assign into an empty owner
        EXPECT_FALSE(a.valid());
        EXPECT_FALSE(b.valid());
        EXPECT_EQ(c.get(), 7);
        EXPECT_TRUE(g_closed.empty());
    }
    EXPECT_EQ(g_closed, std::vector<int>({7}));
}

TEST_F(HandleOwner, ReplacingAHandleClosesTheOldOne) {
    Owner a(1);
    Owner b(2);
    a = std::move(b);                // move-assign closes 1
    a.reset(3);                      // reset closes 2
    *a.put() = 4;                    // put closes 3 and lets a call fill the slot
    auto& self = a;
    a = std::move(self);             // self-assignment keeps the handle
    EXPECT_EQ(g_closed, std::vector<int>({1, 2, 3}));
    EXPECT_EQ(a.get(), 4);
    a.reset();
    EXPECT_EQ(g_closed, std::vector<int>({1, 2, 3, 4}));
    EXPECT_FALSE(a);
}

TEST_F(HandleOwner, ReleaseHandsOverWithoutClosingAndInvalidValuesAreNeverClosed) {
    int raw;
    {
        Owner a(5);
        raw = a.release();
        EXPECT_EQ(a.get(), 0);
        Owner none(-1);              // a failure value other than the default one
        EXPECT_FALSE(none.valid());
    }
    EXPECT_EQ(raw, 5);
    EXPECT_TRUE(g_closed.empty());
}

}  // namespace
