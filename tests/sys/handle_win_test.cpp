#include "sys/handle.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Creates a real object, lets an owner of type H go out of scope, and asks the
// system whether the raw handle is still usable afterwards.
template <typename H>
void ExpectClosedWithOwner(const std::function<typename H::pointer()>& create,
                           const std::function<bool(typename H::pointer)>& isOpen) {
    typename H::pointer raw{};
    {
        H owner(create());
        ASSERT_TRUE(owner.valid());
        raw = owner.get();
        H moved(std::move(owner));
        EXPECT_TRUE(isOpen(raw));
    }
    EXPECT_FALSE(isOpen(raw));
}

TEST(HandleOwnerWin, EveryTraitsKindClosesItsRealObject) {
    ExpectClosedWithOwner<zyn::Handle>(
        [] { return CreateEventA(nullptr, TRUE, FALSE, nullptr); },
        [](HANDLE h) { DWORD flags; return GetHandleInformation(h, &flags) != 0; });
    ExpectClosedWithOwner<zyn::GdiObject>(
        [] { return static_cast<HGDIOBJ>(CreateSolidBrush(RGB(1, 2, 3))); },
        [](HGDIOBJ h) { return GetObjectType(h) != 0; });
    ExpectClosedWithOwner<zyn::OwnedWindow>(
        [] { return CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr); },
        [](HWND h) { return IsWindow(h) != FALSE; });
    ExpectClosedWithOwner<zyn::RegKey>(
        [] {
            HKEY key = nullptr;
            RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\ZynTest\\handle", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr);
            return key;
        },
        [](HKEY h) { return RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                             nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; });
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest\\handle");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest");
}

TEST(HandleOwnerWin, FailureValuesOfTheApiAreEmptyOwners) {
    zyn::Handle file(CreateFileA("C:\\no\\such\\dir\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file.valid());
    WIN32_FIND_DATAA data;
    zyn::FindHandle find(FindFirstFileA("C:\\no\\such\\dir\\*", &data));
    EXPECT_FALSE(find.valid());
    zyn::Library lib(LoadLibraryA("no-such-library.dll"));
    EXPECT_FALSE(lib.valid());

    zyn::RegKey key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\ZynTest\\absent", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    EXPECT_FALSE(key.valid());
}

}  // namespace
