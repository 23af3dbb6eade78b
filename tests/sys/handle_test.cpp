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

TEST(HandleOwner, EveryHandleIsClosedExactlyOnceAndNoneValuesNever) {
    g_closed.clear();
    {
        Owner a(7), none(-1);
        Owner b(std::move(a)), c;
        c = std::move(b);
        EXPECT_FALSE(a.valid() || b.valid() || none.valid());
        Owner d(1), e(2), f(5);
        d = std::move(e);   // closes 1
        d.reset(3);         // closes 2
        *d.put() = 4;       // closes 3 and lets a call fill the slot
        auto& self = d;
        d = std::move(self);
        EXPECT_EQ(g_closed, std::vector<int>({1, 2, 3}));
        EXPECT_EQ(d.get(), 4);
        EXPECT_EQ(f.release(), 5);
    }
    EXPECT_EQ(g_closed, std::vector<int>({1, 2, 3, 4, 7}));
}

}  // namespace
