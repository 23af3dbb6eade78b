#include "script/zyncheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "script/scriptinfo.h"

namespace {

// A small script that passes cleanly: [Application] with every required
// variable (lines 1 to 14), then the fifteen sections and [Disks], each header alone.
std::vector<std::string> BaseLines() {
    std::vector<std::string> lines = {
        "[Application]",
        "$(ApplicationName)=Test Demo",
        "$(DefaultDirectory)=C:\\TEST",
        "$(UninstallFileName)=UNINSTAL.EXE",
        "$(DisableScreenSavers)=N",
        "$(GetLanguage)=N",
        "$(Exclusive)=N",
        "$(UninstallCleanDirs)=N",
        "$(CalculateSize)=TRUE",
        "$(ExtraSpace)=0",
        "$(LogFile)=$(DestinationDirectory)\\T.LOG",
        "$(RestartWindows)=N",
        "$(RestartSystem)=N",
        "$(Flag)=Y",
    };
    for (const SCRIPTINFO_SECTION& s : SCRIPTINFO_InstallSections()) lines.push_back(std::string("[") + s.name + "]");
    lines.push_back("[Disks]");
    return lines;
}

std::string Join(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

// A script and the line its one finding belongs to.
struct Script {
    std::string text;
    int line;
};

// The base script with line put right after the header of section (and app, if any, as
// a further [Application] line): the finding belongs to the line put in.
Script WithLine(const std::string& section, const std::string& line, const char* app = nullptr) {
    std::vector<std::string> lines = BaseLines();
    if (app != nullptr) lines.insert(lines.begin() + 14, app);
    const auto header = std::find(lines.begin(), lines.end(), "[" + section + "]");
    const int at = static_cast<int>(header - lines.begin()) + 2;
    lines.insert(header + 1, line);
    return {Join(lines), at};
}

// The base script with the numbered lines (from 1) replaced.
Script Edited(const std::map<int, std::string>& replace, int line) {
    std::vector<std::string> lines = BaseLines();
    for (const auto& [number, text] : replace) lines[static_cast<size_t>(number) - 1] = text;
    return {Join(lines), line};
}

std::string Describe(const std::vector<ZYNCHECK_FINDING>& findings) {
    std::string text;
    for (const ZYNCHECK_FINDING& f : findings)
        text += std::to_string(f.line) + (f.severity == ZYNCHECK_ERROR ? ": error: " : ": warning: ") + f.text + "\n";
    return text;
}

// Start-up sets 20 variables before [Application]: with 80 names there the store is full
// and the install has no room left for its own 7, with 81 start-up fails.
TEST(ZynCheck, EachFindingNamesItsLine) {
    std::string full = "$(Flag)=Y";
    for (int i = 0; i < 67; ++i) full += "\r\n$(V" + std::to_string(i) + ")=x";
    // The finding's severity and part of its text; null: the script is clean.
    const std::tuple<Script, ZYNCHECK_SEVERITY, const char*> cases[] = {
        // column counts, as the reader cuts them
        {WithLine("Files", "a, b, c, d, C, 1, N, N, 0, 1, N, Y"), ZYNCHECK_ERROR, "line has 12 columns; 13 expected"},
        {WithLine("Files", std::string(300, 'x') + ", b, c, d, C, 1, N, N, 0, 1, N, Y, Y"), ZYNCHECK_ERROR,
         "a column is longer than 255 characters"},
        // closed word sets
        {WithLine("Ini Settings", "ADDD, a.ini, s, e, v, , Y, Y"), ZYNCHECK_ERROR, "unknown INI operation \"ADDD\""},
        {WithLine("Registry32", "REG_SET_VALUE, HKEY_CURRENT\\X, REG_SZ, v, d, Y, Y"), ZYNCHECK_ERROR,
         "unknown registry root \"HKEY_CURRENT\""},
        {WithLine("Modify Files", "START, a.txt, , x, Y, Y"), ZYNCHECK_ERROR, "no Modify Files flag word in \"START\""},
        {WithLine("Files", "a, b, c, d, C, 1, N, Y, 0, 1, N, Y, Y"), ZYNCHECK_ERROR, "cannot expand compressed files"},
        {WithLine("Protection", "NoRun , Y, Y"), ZYNCHECK_ERROR, "the blank before the comma is part of the token"},
        // variables and evaluation blocks
        {WithLine("Shell", "$(Nope)\\a.exe, Y, Y"), ZYNCHECK_ERROR, "unknown variable $(Nope)"},
        {WithLine("Shell", "$(UninstallDirectory)\\a.exe, Y, Y"), ZYNCHECK_ERROR, "it is set only while uninstalling"},
        {WithLine("Shell", "a.exe, Y, $[ Y Y ]"), ZYNCHECK_ERROR, "evaluation block does not parse"},
        {WithLine("Shell", std::string(200, 'x') + "$(LogFile)$(LogFile)$(LogFile)$(LogFile)$(LogFile), Y, Y"),
         ZYNCHECK_ERROR, "expands to 265 characters"},
        // words are checked after expansion when the value is the script's own, not the machine's
        {WithLine("Ini Settings", "$(Op), a.ini, s, e, v, , Y, Y", "$(Op)=ADDD"), ZYNCHECK_ERROR,
         "unknown INI operation \"ADDD\""},
        {WithLine("Shell", "a.exe, Y, $(DestinationDirectory)", "$(DestinationDirectory)=off"), ZYNCHECK_ERROR, nullptr},
        // event lines, wherever the reader passes them
        {WithLine("Application", "{PLAY_SOUND, ding}"), ZYNCHECK_ERROR, "unknown event \"PLAY_SOUND\""},
        // [Application], required variables, headers
        {Edited({{2, ""}}, 1), ZYNCHECK_ERROR, "required variable $(ApplicationName)"},
        {Edited({{14, "Flag=Y\r\n$(Flag)=Y"}}, 14), ZYNCHECK_WARNING, "line sets nothing"},
        {Edited({{14, "$(Flag)=Y\r\n$(FLAG)=N"}}, 15), ZYNCHECK_WARNING, "already set at line 14"},
        {Edited({{14, "$(Flag)=x$(Flag)"}}, 14), ZYNCHECK_ERROR, "its expansion never ends"},
        {Edited({{29, ""}}, 1), ZYNCHECK_ERROR, "missing section [Launch]"},
        {Edited({{1, "$(X)=1\r\n[Application]"}}, 1), ZYNCHECK_WARNING, "never read"},
        // line ends and variable slots
        {{Join(BaseLines(), "\n"), 1}, ZYNCHECK_ERROR, "bare line feed (30 such lines)"},  // every data line loses a character
        {{Join(BaseLines()) + "1 = Disk One", 31}, ZYNCHECK_ERROR, "drops its last two characters"},  // only the line end tells
        {Edited({{14, full}}, 1), ZYNCHECK_ERROR, "leaves too few of the installer's 100 variable slots for the 7"},
        {Edited({{14, full + "\r\n$(V67)=x"}}, 82), ZYNCHECK_ERROR, "more variables than the installer's 100 slots"},
    };
    for (const auto& [script, severity, expected] : cases) {
        SCOPED_TRACE(script.text.substr(0, 400));
        std::vector<ZYNCHECK_FINDING> findings;
        ASSERT_EQ(ZYNCHECK_CheckText(script.text, &findings), 0);
        if (expected == nullptr) {
            EXPECT_EQ(Describe(findings), "");
            continue;
        }
        ASSERT_EQ(findings.size(), 1u) << Describe(findings);
        EXPECT_EQ(findings[0].line, script.line);
        EXPECT_EQ(findings[0].severity, severity);
        EXPECT_NE(findings[0].text.find(expected), std::string::npos) << findings[0].text;
    }
}

}  // namespace
