// The copy engine's decisions that need no file system.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "sys/sys32.h"
#include "sys/zyndisk.h"

namespace {

TEST(ZynDiskText, AttributeFilterFollowsTheMaskBitByBit) {
    // Normal always passes and read-only never excludes; archive, hidden, system and
    // directory each need their own bit; unknown bits do not exclude.
    struct Case { uint32_t attributes, mask; bool match; } cases[] = {
        {0x80, 0x00, true}, {0x21, 0x80, true}, {0x22, 0x20, false}, {0x02, 0x86, true}, {0x06, 0x84, false},
        {0x10, 0x86, false}, {0x10, 0x96, true}, {0x12, 0x90, false}, {0x2000, 0x00, true}, {0x2002, 0x80, false}};
    for (const Case& c : cases)
        EXPECT_EQ(SYS_AttributesMatch(c.attributes, c.mask), c.match) << std::hex << c.attributes << " " << c.mask;
}

TEST(ZynDiskText, PatternPartsAndWildcards) {
    struct Parts { const char *pattern, *drive, *directory, *file; } parts[] = {
        {"C:\\src\\*.*", "C:", "\\src\\", "*.*"}, {"c:name.dat", "c:", "", "name.dat"}, {"*.*", "", "", "*.*"},
        {"\\\\server\\share\\f", "", "\\\\server\\share\\", "f"}, {"C:\\dir\\", "C:", "\\dir\\", ""}};
    for (const Parts& c : parts) {
        ZYNDISK_PATTERN p = ZYNDISK_SplitPattern(c.pattern);
        EXPECT_EQ(p.drive + "|" + p.directory + "|" + p.file, std::string(c.drive) + "|" + c.directory + "|" + c.file);
    }
    struct Wild { const char *pattern, *text; bool match; } wilds[] = {
        {"*", "", true}, {"*.TXT", "read.me.txt", true}, {"*.txt", "readme.txt.bak", false}, {"a?c", "ABC", true},
        {"a?c", "ac", false}, {"a*b*c", "aXXbYYbZc", true}, {"a*b*c", "aXXbYYc_", false}, {"sub", "C:\\demo\\sub", false},
        {"", "x", false}, {"**?", "x", true}};
    for (const Wild& c : wilds) EXPECT_EQ(ZYNDISK_WildcardMatch(c.pattern, c.text), c.match) << c.pattern << " " << c.text;
}

TEST(ZynDiskText, FolderDestinationsKeepTheRelativeLayout) {
    struct Case { const char *destination, *root, *directory, *name, *expected; } cases[] = {
        {"D:\\out\\", "C:\\src", "C:\\src\\x\\y", "a.txt", "D:\\out\\x\\y\\a.txt"},
        {"D:\\out\\one.txt", "C:\\src", "C:\\src\\x", "a.txt", "D:\\out\\one.txt"},
        {"", "C:\\src", "C:\\src\\x", "a.txt", ""}, {"D:\\", "", "\\x", "a", "D:\\x\\a"}};
    for (const Case& c : cases)
        EXPECT_EQ(ZYNDISK_EntryDestination(c.destination, c.root, c.directory, c.name), c.expected) << c.directory;
}

TEST(ZynDiskText, WildcardDeletesAreRefusedInRootsAndSystemFoldersOnly) {
    // Containment, not equality; a relative pattern is resolved by the caller.
    struct Case { const char* pattern; int refused; } cases[] = {
        {"C:\\*.*", 1}, {"d:*.*", 1}, {"C:\\file?.txt", 1}, {"\\*.*", 1}, {"C:\\windows\\*.tmp", 1},
        {"c:\\Windows\\System32\\x*.dll", 1}, {"C:\\WINDOWS\\FONTS\\*.fon", 1}, {"C:\\windows\\one.tmp", 0},
        {"C:\\", 0}, {"C:\\DEMO\\*.*", 0}, {"C:\\DEMO\\WINDOWS\\*.*", 0}, {"*.*", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(ZYNDISK_IsProhibited(c.pattern, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32"), c.refused) << c.pattern;
    EXPECT_EQ(ZYNDISK_IsProhibited("X:\\any\\*.*", "", ""), 0) << "unknown system folders refuse nothing";
}

TEST(ZynDiskText, ClusterRoundingAndSaturation) {
    struct Case { uint32_t size, cluster, rounded; } cases[] = {
        {1, 4096, 4096}, {4096, 4096, 4096}, {4097, 4096, 8192}, {5, 0, 5}, {0xFFFFF001u, 4096, 0xFFFFFFFFu}};
    for (const Case& c : cases) EXPECT_EQ(ZYNDISK_RoundToClusters(c.size, c.cluster), c.rounded) << c.size << "/" << c.cluster;
    EXPECT_EQ(ZYNDISK_AddSaturating(0xFFFFFFF0u, 0x10), 0xFFFFFFFFu);
    EXPECT_EQ(ZYNDISK_AddSaturating(0xFFFFFFF0u, 0x20), 0xFFFFFFFFu);
}

}  // namespace
