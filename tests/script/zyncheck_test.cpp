#include "script/zyncheck.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "script/errcodes.h"
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

// The base script with line inserted right after the header of section, and app (if
// any) as a further [Application] line; *at gets the inserted line's number.
std::string WithLine(const std::string& section, const std::string& line, const char* app, int* at) {
    std::vector<std::string> lines = BaseLines();
    if (app != nullptr) lines.insert(lines.begin() + 14, app);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "[" + section + "]") {
            lines.insert(lines.begin() + static_cast<long>(i) + 1, line);
            *at = static_cast<int>(i) + 2;
            return Join(lines);
        }
    }
    ADD_FAILURE() << "no section " << section;
    return {};
}

std::vector<ZYNCHECK_FINDING> Check(const std::string& script) {
    std::vector<ZYNCHECK_FINDING> findings;
    EXPECT_EQ(ZYNCHECK_CheckText(script, &findings), 0);
    return findings;
}

std::string Describe(const std::vector<ZYNCHECK_FINDING>& findings) {
    std::string text;
    for (const ZYNCHECK_FINDING& f : findings)
        text += std::to_string(f.line) + (f.severity == ZYNCHECK_ERROR ? ": error: " : ": warning: ") + f.text + "\n";
    return text;
}


struct LineCase {
    const char* section;
    std::string line;
    ZYNCHECK_SEVERITY severity;
    const char* expected;  // part of the finding's text; null: the line is clean
    const char* app = nullptr;
};

// One data or event line added to the base script: exactly the expected finding, on that line.
const LineCase kLineCases[] = {
    // column counts, as the reader cuts them
    {"Files", "a, b, c, d, C, 1, N, N, 0, 1, N, Y", ZYNCHECK_ERROR, "line has 12 columns; 13 expected"},
    {"Files", std::string(300, 'x') + ", b, c, d, C, 1, N, N, 0, 1, N, Y, Y", ZYNCHECK_ERROR,
     "a column is longer than 255 characters"},
    // closed word sets
    {"Ini Settings", "ADDD, a.ini, s, e, v, , Y, Y", ZYNCHECK_ERROR, "unknown INI operation \"ADDD\""},
    {"Registry32", "REG_SET_VALUE, HKEY_CURRENT\\X, REG_SZ, v, d, Y, Y", ZYNCHECK_ERROR,
     "unknown registry root \"HKEY_CURRENT\""},
    {"Registry32", "REG_DELETE_VALUE, , , v, , Y, Y", ZYNCHECK_ERROR, "key path is empty"},
    {"Modify Files", "START, a.txt, , x, Y, Y", ZYNCHECK_ERROR, "no Modify Files flag word in \"START\""},
    {"Modify Files", "LOGMOD_BEGINING | LOGMOD_MATCH_EXACT, a.txt, , x, Y, Y", ZYNCHECK_WARNING,
     "unknown Modify Files flag word \"LOGMOD_BEGINING\" is ignored"},
    {"PM Info", "REMOVE, g, a.exe, \"A\", a.exe, 0, Y, Y", ZYNCHECK_WARNING, "the line does nothing"},
    {"Files", "a, b, c, d, CRx, 1, N, N, 0, 1, N, Y, Y", ZYNCHECK_WARNING, "attribute letter 'x' is ignored"},
    {"Files", "a, b, c, d, C, 1, N, Y, 0, 1, N, Y, Y", ZYNCHECK_ERROR, "cannot expand compressed files"},
    // lines the handler cuts itself
    {"Protection", "NoRun , Y, Y", ZYNCHECK_ERROR, "the blank before the comma is part of the token"},
    {"Protection", "SetShell, a.ini, s, Y, Y", ZYNCHECK_ERROR, "SetShell needs 6 fields"},
    {"Protection", "NoRun, Y, Y" + std::string(260, ' '), ZYNCHECK_ERROR, "line is longer than 254"},
    {"Protection Backup", "BackupExtension, ZYN, N, Y", ZYNCHECK_WARNING, "unknown Protection Backup keyword"},
    // variables and evaluation blocks
    {"Shell", "$(Nope)\\a.exe, Y, Y", ZYNCHECK_ERROR, "unknown variable $(Nope)"},
    {"Shell", "$(UninstallDirectory)\\a.exe, Y, Y", ZYNCHECK_ERROR, "it is set only while uninstalling"},
    {"Shell", "$(Language).exe, Y, Y", ZYNCHECK_WARNING, "$(Language) may be undefined here"},
    {"Shell", "a$(Flag.exe, Y, Y", ZYNCHECK_ERROR, "\"$(\" without \")\""},
    {"Shell", "a.exe, Y, $[ Y Y ]", ZYNCHECK_ERROR, "evaluation block does not parse"},
    {"Launch", "Run x$[ 1 ], a.exe, , Y, N, Y", ZYNCHECK_WARNING, "a block must be the whole column"},
    {"Shell", "a.exe, Y, on", ZYNCHECK_WARNING, "\"on\" reads as false"},
    {"Shell", std::string(200, 'x') + "$(LogFile)$(LogFile)$(LogFile)$(LogFile)$(LogFile), Y, Y", ZYNCHECK_ERROR,
     "expands to 265 characters"},
    // words are checked after expansion when the value is the script's own, not the machine's
    {"Ini Settings", "$(Op), a.ini, s, e, v, , Y, Y", ZYNCHECK_ERROR, "unknown INI operation \"ADDD\"",
     "$(Op)=ADDD"},
    {"Shell", "a.exe, Y, $(DestinationDirectory)", ZYNCHECK_ERROR, nullptr, "$(DestinationDirectory)=off"},
    // diskette names
    {"Disks", "Disk Two", ZYNCHECK_WARNING, "not of the form number = name"},
    // event lines, wherever the reader passes them
    {"Files", "{ADD_GRAPHIC_TYPE, PICT1, 40}", ZYNCHECK_ERROR, "ADD_GRAPHIC_TYPE needs 3 parameters, found 2"},
    {"Application", "{PLAY_SOUND, ding}", ZYNCHECK_ERROR, "unknown event \"PLAY_SOUND\""},
};

TEST(ZynCheck, EachLineFindingNamesItsLine) {
    for (const LineCase& c : kLineCases) {
        int at = 0;
        const std::vector<ZYNCHECK_FINDING> findings = Check(WithLine(c.section, c.line, c.app, &at));
        SCOPED_TRACE(std::string("[") + c.section + "] " + c.line.substr(0, 80));
        if (c.expected == nullptr) {
            EXPECT_EQ(Describe(findings), "");
            continue;
        }
        ASSERT_EQ(findings.size(), 1u) << Describe(findings);
        EXPECT_EQ(findings[0].line, at);
        EXPECT_EQ(findings[0].severity, c.severity);
        EXPECT_NE(findings[0].text.find(c.expected), std::string::npos) << findings[0].text;
    }
}

// The base script with the numbered lines (from 1) replaced.
std::string Edited(const std::map<int, std::string>& replace) {
    std::vector<std::string> lines = BaseLines();
    for (const auto& [number, text] : replace) lines[static_cast<size_t>(number) - 1] = text;
    return Join(lines);
}

// Whole-script findings: [Application], required variables, headers, line ends and the
// variable slots. Start-up sets 20 variables before [Application]: with 80 names there
// the store is full and the install has no room left for its own 7, with 81 start-up fails.
TEST(ZynCheck, EachScriptFindingNamesItsLine) {
    std::string full = "$(Flag)=Y", over;
    for (int i = 0; i < 67; ++i) full += "\r\n$(V" + std::to_string(i) + ")=x";
    over = full + "\r\n$(V67)=x";
    const struct {
        std::string script;
        int line;
        ZYNCHECK_SEVERITY severity;
        const char* expected;
    } cases[] = {
        {Edited({{2, ""}}), 1, ZYNCHECK_ERROR, "required variable $(ApplicationName)"},
        {Edited({{14, "Flag=Y\r\n$(Flag)=Y"}}), 14, ZYNCHECK_WARNING, "line sets nothing"},
        {Edited({{14, "$(Flag)=Y\r\n$(FLAG)=N"}}), 15, ZYNCHECK_WARNING, "already set at line 14"},
        {Edited({{14, "$(Flag)=x$(Flag)"}}), 14, ZYNCHECK_ERROR, "its expansion never ends"},
        {Edited({{14, "$(" + std::string(50, 'N') + ")=Y"}}), 14, ZYNCHECK_ERROR, "longer than 49"},
        {Edited({{29, ""}}), 1, ZYNCHECK_ERROR, "missing section [Launch]"},
        {Edited({{29, "[Launch]\r\n[Launches]"}}), 30, ZYNCHECK_WARNING, "[Launches] is not read"},
        {Edited({{29, "[Launch]\r\n[Launch2"}}), 30, ZYNCHECK_WARNING, "without \"]\""},
        {Edited({{1, "$(X)=1\r\n[Application]"}}), 1, ZYNCHECK_WARNING, "never read"},
        {Join(BaseLines(), "\n"), 1, ZYNCHECK_ERROR, "bare line feed (30 such lines)"},  // every data line loses a character
        {Join(BaseLines()) + "1 = Disk One", 31, ZYNCHECK_ERROR, "drops its last two characters"},  // only the line end tells
        {Edited({{14, full}}), 1, ZYNCHECK_ERROR, "leaves too few of the installer's 100 variable slots for the 7"},
        {Edited({{14, over}}), 82, ZYNCHECK_ERROR, "more variables than the installer's 100 slots"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const std::vector<ZYNCHECK_FINDING> findings = Check(c.script);
        ASSERT_EQ(findings.size(), 1u) << Describe(findings);
        EXPECT_EQ(findings[0].line, c.line);
        EXPECT_EQ(findings[0].severity, c.severity);
        EXPECT_NE(findings[0].text.find(c.expected), std::string::npos) << findings[0].text;
    }
}

// Block faults come back as codes; the store has the installer's 100 slots and handlers' 255-byte buffers.
TEST(ZynCheck, EvalExpandsLikeAHandler) {
    const struct {
        const char* token;
        std::vector<std::string> assignments;
        int code;
        const char* result;
    } cases[] = {
        {"$(Dir)\\a.exe", {"Dir=C:\\X"}, 0, "C:\\X\\a.exe"},
        {"$(Missing)", {}, ERROR_VAR_NOT_FOUND, nullptr},
        {"$[ $(V) ]", {"V=two words"}, ERROR_VAREVAL_UNKNOWN_OPERATOR, nullptr},
        {"$(Long)", {"Long=" + std::string(255, 'a')}, ERROR_VAR_BUFFER_TOO_SMALL, nullptr},
        {"$(Long)", {"Long=" + std::string(254, 'a')}, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.token);
        std::string result = "untouched";
        EXPECT_EQ(ZYNCHECK_EvalToken(c.token, c.assignments, &result), c.code);
        if (c.code != 0) {
            EXPECT_EQ(result, "untouched");
        }
        if (c.result != nullptr) {
            EXPECT_EQ(result, c.result);
        }
    }
    std::vector<std::string> assignments;
    for (int i = 0; i < 101; ++i) assignments.push_back("V" + std::to_string(i) + "=x");
    std::string result;
    EXPECT_EQ(ZYNCHECK_EvalToken("$(V0)", assignments, &result), ERROR_VAR_NO_FREE_SLOT);
    assignments.pop_back();
    EXPECT_EQ(ZYNCHECK_EvalToken("$(V99)", assignments, &result), 0);
    EXPECT_EQ(result, "x");
}

}  // namespace
