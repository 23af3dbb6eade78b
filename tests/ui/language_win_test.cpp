// The shipped language libraries against what the program asks of them: every string id with
// placeholders its callers fill, every template with its controls; the choice of library.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "script/var.h"
#include "support/dialogs_win.h"
#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/handle.h"
#include "ui/language.h"

namespace {

// Captions and texts shown as they stand, formatted without arguments.
constexpr UINT kPlain[] = {400, 401, 408, 413, 417, 419, 450, 452, 501, 651, 755, 3003, 3007, 3100, 3104};
// Wizard button captions, read into a 255-byte buffer.
constexpr UINT kButtons[] = {751, 752, 753, 754};
// Formatted with one letter per argument the callers pass: 's' text, 'i' integer.
// (451: one caller passes an empty text, the other nothing at all.)
constexpr std::pair<UINT, const char*> kMessages[] = {
    {409, "s"}, {414, "s"}, {415, "s"}, {418, "s"}, {420, "s"}, {421, "s"}, {451, ""}, {453, ""}, {454, ""},
    {455, ""}, {500, ""}, {502, ""}, {503, ""}, {504, ""}, {505, ""}, {506, ""}, {507, ""}, {508, ""},
    {509, ""}, {510, ""}, {756, ""}, {757, "s"}, {2000, "s"}, {3002, "s"}, {3004, "is"}, {3006, "s"},
    {3008, "s"}, {3101, ""}, {3102, ""}, {3103, ""}, {3105, "s"},
};

// Each template's controls and their classes ("" any).
const std::pair<const char*, std::vector<std::pair<int, const char*>>> kTemplates[] = {
    {"DLG_STATUS", {{200, "Static"}, {204, "Static"}, {201, "Static"}, {205, "Static"}, {202, ""}, {203, ""},
                    {IDCANCEL, "Button"}}},
    {"DLG_UNINSTALL_STATUS", {{1001, ""}}},
    {"DLG_DISKETTE", {{300, "Edit"}, {301, "Static"}, {302, "Static"}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
    {"DLG_GET_DIRECTORY_32", {{1000, "Edit"}, {IDOK, "Button"}, {IDCANCEL, "Button"}, {500, "Button"}, {502, "Button"}}},
    {"DLG_BROWSE", {{1000, "Edit"}, {1003, ""}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
    {"DLG_BADPATH_32", {{IDOK, "Button"}}},
    {"DLG_BADPATH_32_NOT_EMPTY", {{IDOK, "Button"}}},
    {"DLG_ABOUT", {{IDOK, "Button"}}},
};

// The text of a string id, empty when the library has none.
std::string LoadText(HMODULE module, UINT id) {
    char buffer[4096];
    const int n = LoadStringA(module, id, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? n : 0);
}

// The arguments a printf format consumes ('s' or 'i' each), or "!" and the placeholder it
// cannot fill safely: a lone '%', a '*' width or precision (an argument the caller does
// not pass), an unsupported conversion.
std::string Placeholders(const std::string& text) {
    static const std::regex placeholder("%%|%[-+ #0]*[0-9]*(\\.[0-9]*)?([a-zA-Z])|%");
    std::string kinds;
    for (std::sregex_iterator it(text.begin(), text.end(), placeholder), end; it != end; ++it) {
        const std::string conversion = (*it)[2];
        if (it->str() == "%%") continue;
        if (conversion == "s") kinds += 's';
        else if (conversion.size() == 1 && std::strchr("diuxXc", conversion[0])) kinds += 'i';
        else return "! " + it->str();
    }
    return kinds;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

bool IsClass(HWND window, const char* name) {
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpiA(cls, name) == 0;
}

class LanguageLibrary : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        library_.reset(LoadLibraryA(zyntest::BesideTests(GetParam() + ".dll").c_str()));
        ASSERT_TRUE(library_) << "the language libraries are built beside zyntests";
        english_.reset(LoadLibraryA(zyntest::BesideTests("english.dll").c_str()));
        ASSERT_TRUE(english_);
    }
    zyn::Library library_;
    zyn::Library english_;  // the reference the translations are held against
};

TEST_P(LanguageLibrary, HasEveryStringWithThePlaceholdersItsCallersFill) {
    std::vector<std::pair<UINT, std::string>> uses(std::begin(kMessages), std::end(kMessages));
    for (UINT id : kPlain) uses.emplace_back(id, "-");
    for (UINT id : kButtons) uses.emplace_back(id, "b");
    int same = 0;
    for (const auto& [id, args] : uses) {
        SCOPED_TRACE("string " + std::to_string(id));
        const std::string text = LoadText(library_.get(), id);
        const std::string reference = LoadText(english_.get(), id);
        ASSERT_FALSE(text.empty()) << "missing";
        ASSERT_FALSE(reference.empty());
        if (text == reference) ++same;
        // Buttons are read into 255 bytes; other texts leave room in 2048 for their arguments.
        EXPECT_LT(text.size(), args == "b" ? 255u : 1024u);
        if (args == "-" || args == "b") {
            EXPECT_EQ(text.find('%'), std::string::npos) << "shown without arguments";
            continue;
        }
        const std::string found = Placeholders(text);
        EXPECT_EQ(args.compare(0, found.size(), found), 0)
            << "\"" << text << "\" expects \"" << found << "\", callers pass \"" << args << "\"";
        EXPECT_EQ(found, Placeholders(reference)) << "differs from English";
    }
    // A copy of the English library with a few texts changed is not a translation.
    if (GetParam() != "english") {
        EXPECT_LE(same, static_cast<int>(uses.size()) / 10) << same << " untranslated";
    }
}

TEST_P(LanguageLibrary, DialogsCreateWithTheirControls) {
    for (const auto& [name, controls] : kTemplates) {
        SCOPED_TRACE(name);
        zyn::OwnedWindow dialog(CreateDialogParamA(library_.get(), name, nullptr, QuietDialogProc, 0));
        ASSERT_TRUE(dialog) << "cannot create (error " << GetLastError() << ")";
        // System commands are refused in every dialog, so a close box would never work.
        EXPECT_FALSE(GetWindowLongA(dialog.get(), GWL_STYLE) & WS_SYSMENU);
        for (const auto& [id, cls] : controls) {
            HWND child = GetDlgItem(dialog.get(), id);
            ASSERT_NE(child, nullptr) << "no control " << id;
            EXPECT_TRUE(!*cls || IsClass(child, cls)) << id;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageLibrary, ::testing::Values("english", "german", "french"),
                         [](const auto& info) { return info.param; });

std::string LoadedFileName() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(LANGUAGE_GetInstance(), path, sizeof path);
    return std::strrchr(path, '\\') + 1;
}

TEST(LanguageLoad, ChoosesLoadsOnceAndTerminates) {
    // getLanguage null: undefined; answer 0: no dialog; loaded: the library's file name,
    // or the title of the box that refuses.
    struct Case { const char *getLanguage, *defaultLibrary; int answer, result; const char* loaded; };
    const Case cases[] = {
        {nullptr, "german.dll", IDOK, -1, "INSTALL.INF ERROR!"},
        {"N", "D:\\X\\french.dll", 0, 0, "french.dll"},
        {"N", nullptr, 0, 0, "english.dll"},
        {"Y", "german.dll", IDCANCEL, 0, "english.dll"},
        {"N", "missing.dll", IDOK, ERROR_LANGUAGE_DLL_NOT_LOADED, "Low Level Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.defaultLibrary ? c.defaultLibrary : "-");
        ASSERT_EQ(VAR_Init(50), 0);
        if (c.getLanguage) VAR_Set("GetLanguage", c.getLanguage);
        VAR_Set("InstallName", "Demo");
        if (c.defaultLibrary) VAR_Set("DefaultLanguageDLL", c.defaultLibrary);
        zyntest::DialogScript script;
        if (c.answer != 0) script.Add({c.answer});
        EXPECT_EQ(LANGUAGE_Load(), c.result);
        ASSERT_EQ(script.Unanswered(), 0u);
        EXPECT_EQ(zyntest::VarText("Language"), "error " + std::to_string(ERROR_VAR_NOT_FOUND)) << "none was chosen";
        if (c.result != 0) {
            EXPECT_EQ(script.Answered().at(0).caption, c.loaded);
            EXPECT_EQ(LANGUAGE_GetInstance(), nullptr);
        } else {
            EXPECT_EQ(LoadedFileName(), c.loaded);
            EXPECT_EQ(LANGUAGE_Load(), 0);  // no second dialog: the script has no answer left
        }
        if (c.answer == IDCANCEL) {
            // Only the languages shipped beside the program can be chosen.
            std::vector<int> disabled = script.Answered().at(0).disabled;
            std::sort(disabled.begin(), disabled.end());
            EXPECT_EQ(disabled, (std::vector<int>{1202, 1205, 1209, 1210}));
        }
        EXPECT_EQ(LANGUAGE_Terminate(), 0);
        EXPECT_EQ(LANGUAGE_GetInstance(), nullptr);
        VAR_Terminate();
    }
}

}  // namespace
