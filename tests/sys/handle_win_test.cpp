#include "sys/handle.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A real object outlives its moved owner's scope only if the traits fail to close it.
template <typename H>
void ExpectClosed(typename H::pointer created, const std::function<bool(typename H::pointer)>& isOpen) {
    {
        H owner(created);
        ASSERT_TRUE(owner.valid());
        H moved(std::move(owner));
        EXPECT_TRUE(isOpen(created));
    }
    EXPECT_FALSE(isOpen(created));
}

TEST(HandleOwnerWin, EveryTraitsKindClosesItsRealObjectAndFailuresAreEmpty) {
    ExpectClosed<zyn::Handle>(CreateEventA(nullptr, TRUE, FALSE, nullptr),
                              [](HANDLE h) { DWORD flags; return GetHandleInformation(h, &flags) != 0; });
    ExpectClosed<zyn::GdiObject>(CreateSolidBrush(RGB(1, 2, 3)), [](HGDIOBJ h) { return GetObjectType(h) != 0; });
    ExpectClosed<zyn::OwnedWindow>(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
                                   [](HWND h) { return IsWindow(h) != FALSE; });
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\ZynTest\\handle", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ExpectClosed<zyn::RegKey>(key, [](HKEY h) {
        return RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr) == ERROR_SUCCESS;
    });
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest\\handle");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest");

    // CreateFileA fails with INVALID_HANDLE_VALUE, not with NULL.
    EXPECT_FALSE(zyn::Handle(CreateFileA("C:\\no\\such\\f", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)).valid());
}

}  // namespace
