#include "sys/handle.h"

#include <gtest/gtest.h>

namespace {

bool IsOpen(HANDLE h) {
    DWORD flags;
    return GetHandleInformation(h, &flags) != 0;
}

// The template's moves are the portable test's; here that the kernel traits close the real
// object once its last owner ends, and take both failure values for empty.
TEST(HandleOwnerWin, KernelTraitsCloseTheRealObjectAndFailuresAreEmpty) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        zyn::Handle owner(event);
        zyn::Handle moved(std::move(owner));
        EXPECT_TRUE(IsOpen(event));
    }
    EXPECT_FALSE(IsOpen(event));
    // CreateFileA fails with INVALID_HANDLE_VALUE, not with NULL.
    EXPECT_FALSE(zyn::Handle(CreateFileA("C:\\no\\such\\f", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)).valid());
}

}  // namespace
