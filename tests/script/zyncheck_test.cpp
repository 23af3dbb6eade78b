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

// The base script with line put right after the header of section: the finding belongs
// to the line put in.
Script WithLine(const std::string& section, const std::string& line) {
    std::vector<std::string> lines = BaseLines();
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

// Start-up sets 20 variables before [Application]: with 80 names there the store is full
// and the install has no room left for its own 7, with 81 start-up fails.
TEST(ZynCheck, EachFindingNamesItsLine) {
    std::string full = "$(Flag)=Y";
    for (int i = 0; i < 67; ++i) full += "\r\n$(V" + std::to_string(i) + ")=x";
    // The finding's severity and part of its text.
    const std::tuple<Script, ZYNCHECK_SEVERITY, const char*> cases[] = {
        {Edited({{14, "$(Flag)=Y\r\n$(FLAG)=N"}}, 15), ZYNCHECK_WARNING, "already set at line 14"},
        // column counts, as the reader cuts them
        {WithLine("Files", "a, b, c, d, C, 1, N, N, 0, 1, N, Y"), ZYNCHECK_ERROR, "line has 12 columns; 13 expected"},
        {WithLine("Files", std::string(300, 'x') + ", b, c, d, C, 1, N, N, 0, 1, N, Y, Y"), ZYNCHECK_ERROR,
         "a column is longer than 255 characters"},
        // variables and closed word sets
        {WithLine("Shell", "$(Nope)\\a.exe, Y, Y"), ZYNCHECK_ERROR, "unknown variable $(Nope)"},
        {WithLine("Ini Settings", "ADDD, a.ini, s, e, v, , Y, Y"), ZYNCHECK_ERROR, "unknown INI operation \"ADDD\""},
        // event lines, wherever the reader passes them
        {WithLine("Application", "{PLAY_SOUND, ding}"), ZYNCHECK_ERROR, "unknown event \"PLAY_SOUND\""},
        // [Application], required variables, headers
        {Edited({{2, ""}}, 1), ZYNCHECK_ERROR, "required variable $(ApplicationName)"},
        {Edited({{29, ""}}, 1), ZYNCHECK_ERROR, "missing section [Launch]"},
        // line ends and variable slots
        {{Join(BaseLines(), "\n"), 1}, ZYNCHECK_ERROR, "bare line feed (30 such lines)"},  // every data line loses a character
        {Edited({{14, full}}, 1), ZYNCHECK_ERROR, "leaves too few of the installer's 100 variable slots for the 7"},
        {Edited({{14, full + "\r\n$(V67)=x"}}, 82), ZYNCHECK_ERROR, "more variables than the installer's 100 slots"},
    };
    for (const auto& [script, severity, expected] : cases) {
        SCOPED_TRACE(script.text.substr(0, 400));
        std::vector<ZYNCHECK_FINDING> findings;
        ASSERT_EQ(ZYNCHECK_CheckText(script.text, &findings), 0);
        ASSERT_EQ(findings.size(), 1u) << (findings.empty() ? "" : findings[0].text);
        EXPECT_EQ(findings[0].line, script.line);
        EXPECT_EQ(findings[0].severity, severity);
        EXPECT_NE(findings[0].text.find(expected), std::string::npos) << findings[0].text;
    }
}

}  // namespace
