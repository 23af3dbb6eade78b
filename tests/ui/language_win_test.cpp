// Checks the shipped language libraries against what the program asks of them: every string id
// present with printf placeholders its callers can satisfy, every dialog template with its
// control ids, and layouts in which the texts fit. Works on the real libraries built beside
// this test program and on the executable's own templates, through real Win32 calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "script/module.h"
#include "script/var.h"
#include "support/dialogs_win.h"
#include "support/process_win.h"
#include "sys/handle.h"
#include "ui/language.h"

namespace {

// ---- What the program uses --------------------------------------------------------------------

enum class Use {
    Title,    // caption of a message box or please-wait box, formatted without arguments
    Message,  // formatted with the arguments listed
    Button,   // wizard button caption, read into a 255-byte buffer
    Plain,    // shown as it stands (the error introduction)
};

struct StringSpec {
    UINT id;
    Use use;
    const char* args;  // one letter per argument the callers pass: 's' text, 'i' integer
};

constexpr StringSpec kStrings[] = {
    {400, Use::Title, ""},    {401, Use::Title, ""},    {408, Use::Title, ""},
    {413, Use::Title, ""},    {417, Use::Title, ""},    {419, Use::Title, ""},
    {450, Use::Title, ""},    {452, Use::Title, ""},    {501, Use::Title, ""},
    {755, Use::Title, ""},    {3003, Use::Title, ""},   {3007, Use::Title, ""},
    {3100, Use::Title, ""},   {3104, Use::Title, ""},

    {409, Use::Message, "s"}, {414, Use::Message, "s"}, {415, Use::Message, "s"},
    {418, Use::Message, "s"}, {420, Use::Message, "s"}, {421, Use::Message, "s"},
    // One caller passes an empty text, the other nothing at all.
    {451, Use::Message, ""},  {453, Use::Message, ""},  {454, Use::Message, ""},
    {455, Use::Message, ""},  {500, Use::Message, ""},  {502, Use::Message, ""},
    {503, Use::Message, ""},  {504, Use::Message, ""},  {505, Use::Message, ""},
    {506, Use::Message, ""},  {507, Use::Message, ""},  {508, Use::Message, ""},
    {509, Use::Message, ""},  {510, Use::Message, ""},  {756, Use::Message, ""},
    {757, Use::Message, "s"}, {2000, Use::Message, "s"}, {3002, Use::Message, "s"},
    {3004, Use::Message, "is"}, {3006, Use::Message, "s"}, {3008, Use::Message, "s"},
    {3101, Use::Message, ""}, {3102, Use::Message, ""}, {3103, Use::Message, ""},
    {3105, Use::Message, "s"},

    {651, Use::Plain, ""},
    {751, Use::Button, ""},   {752, Use::Button, ""},   {753, Use::Button, ""},
    {754, Use::Button, ""},
};

enum class Kind { Static, Edit, Button, Any };

struct ControlSpec {
    int id;
    Kind kind;
};

struct TemplateSpec {
    const char* name;
    std::vector<ControlSpec> controls;
};

const TemplateSpec kTemplates[] = {
    {"DLG_STATUS",
     {{200, Kind::Static}, {204, Kind::Static}, {201, Kind::Static}, {205, Kind::Static},
      {202, Kind::Any}, {203, Kind::Any}, {IDCANCEL, Kind::Button}}},
    {"DLG_UNINSTALL_STATUS", {{1001, Kind::Any}}},
    {"DLG_DISKETTE",
     {{300, Kind::Edit}, {301, Kind::Static}, {302, Kind::Static}, {IDOK, Kind::Button},
      {IDCANCEL, Kind::Button}}},
    {"DLG_GET_DIRECTORY_32",
     {{1000, Kind::Edit}, {IDOK, Kind::Button}, {IDCANCEL, Kind::Button}, {500, Kind::Button},
      {502, Kind::Button}}},
    {"DLG_BROWSE",
     {{1000, Kind::Edit}, {1003, Kind::Any}, {IDOK, Kind::Button}, {IDCANCEL, Kind::Button}}},
    {"DLG_BADPATH_32", {{IDOK, Kind::Button}}},
    {"DLG_BADPATH_32_NOT_EMPTY", {{IDOK, Kind::Button}}},
    {"DLG_ABOUT", {{IDOK, Kind::Button}}},
};

struct LibrarySpec {
    const char* file;
    LANGID language;
};

void PrintTo(const LibrarySpec& row, std::ostream* out) { *out << row.file; }

const LibrarySpec kLibraries[] = {
    {"english.dll", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
    {"german.dll", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)},
    {"french.dll", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)},
};

// ---- Helpers ----------------------------------------------------------------------------------

using Library = zyn::Library;
using Window = zyn::OwnedWindow;

struct DcReleaser {
    HWND window;
    HDC dc;
    ~DcReleaser() { ReleaseDC(window, dc); }
};

using zyntest::BesideTests;

// The text of a string id, or nullopt when the library has none.
std::optional<std::string> LoadText(HMODULE module, UINT id) {
    char buffer[4096];
    int n = LoadStringA(module, id, buffer, sizeof buffer);
    if (n <= 0) return std::nullopt;
    return std::string(buffer, n);
}

struct Placeholders {
    std::string kinds;  // 's' or 'i' per argument consumed, in order
    std::string error;  // why the format cannot be used safely, empty if it can
};

Placeholders ParsePlaceholders(std::string_view text) {
    Placeholders result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (++i == text.size()) return {result.kinds, "a lone % ends the text"};
        if (text[i] == '%') continue;
        while (i < text.size() && std::strchr("-+ #0", text[i])) ++i;
        // A '*' width or precision would consume an argument the caller does not pass.
        if (i < text.size() && text[i] == '*') return {result.kinds, "a * width"};
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        if (i < text.size() && text[i] == '.') {
            ++i;
            if (i < text.size() && text[i] == '*') return {result.kinds, "a * precision"};
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        }
        if (i == text.size()) return {result.kinds, "an unfinished placeholder"};
        char conversion = text[i];
        if (conversion == 's') {
            result.kinds += 's';
        } else if (std::strchr("diuxXc", conversion)) {
            result.kinds += 'i';
        } else {
            return {result.kinds, std::string("the unsupported conversion %") + conversion};
        }
    }
    return result;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

Window CreateHidden(HMODULE module, const char* name) {
    return Window(CreateDialogParamA(module, name, nullptr, QuietDialogProc, 0));
}

std::string WindowText(HWND window) {
    char text[2048];
    int n = GetWindowTextA(window, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

std::string WindowClass(HWND window) {
    char cls[64];
    int n = GetClassNameA(window, cls, sizeof cls);
    return std::string(cls, n > 0 ? n : 0);
}

bool IsKind(HWND control, Kind kind) {
    std::string cls = WindowClass(control);
    switch (kind) {
        case Kind::Static: return lstrcmpiA(cls.c_str(), "Static") == 0;
        case Kind::Edit: return lstrcmpiA(cls.c_str(), "Edit") == 0;
        case Kind::Button: return lstrcmpiA(cls.c_str(), "Button") == 0;
        case Kind::Any: return true;
    }
    return false;
}

// Why `text` does not fit into `control` drawn with the dialog's font; empty when it fits.
std::string Overflow(HWND control, const std::string& text) {
    std::string cls = WindowClass(control);
    auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    RECT client;
    GetClientRect(control, &client);
    int width = client.right;
    int height = client.bottom;
    UINT format = DT_CALCRECT | DT_EXPANDTABS;
    int spare = 0;
    if (lstrcmpiA(cls.c_str(), "Static") == 0) {
        DWORD type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) {
            format |= DT_WORDBREAK;
        } else if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) {
            format |= DT_SINGLELINE;
        } else {
            return {};
        }
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    } else if (lstrcmpiA(cls.c_str(), "Button") == 0) {
        DWORD type = style & BS_TYPEMASK;
        format |= DT_SINGLELINE;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            spare = 4 * GetSystemMetrics(SM_CXEDGE);
        } else if (type == BS_GROUPBOX) {
            return {};
        } else {
            spare = GetSystemMetrics(SM_CXMENUCHECK) + 4;
        }
    } else {
        return {};
    }
    HDC dc = GetDC(control);
    DcReleaser release{control, dc};
    auto font = reinterpret_cast<HFONT>(SendMessageA(GetParent(control), WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font);
    RECT need = {0, 0, width - spare, 0};
    DrawTextA(dc, text.c_str(), -1, &need, format);
    SelectObject(dc, old);
    if (need.right + spare <= width && need.bottom <= height) return {};
    return "\"" + text + "\" needs " + std::to_string(need.right + spare) + " x " +
           std::to_string(need.bottom) + " pixels in control " +
           std::to_string(GetDlgCtrlID(control)) + " of " + std::to_string(width) + " x " +
           std::to_string(height);
}

// ---- The shipped libraries --------------------------------------------------------------------

class LanguageLibrary : public ::testing::TestWithParam<LibrarySpec> {
protected:
    void SetUp() override {
        library_.reset(LoadLibraryA(BesideTests(GetParam().file).c_str()));
        ASSERT_TRUE(library_) << "the language libraries are built beside zyntests";
        english_.reset(LoadLibraryA(BesideTests("english.dll").c_str()));
        ASSERT_TRUE(english_);
    }

    Library library_;
    Library english_;  // the reference the translations are held against
};

TEST_P(LanguageLibrary, HasEveryStringWithThePlaceholdersItsCallersFill) {
    int same = 0;
    for (const auto& row : kStrings) {
        SCOPED_TRACE("string " + std::to_string(row.id));
        auto text = LoadText(library_.get(), row.id);
        auto reference = LoadText(english_.get(), row.id);
        ASSERT_TRUE(text.has_value()) << "missing";
        ASSERT_TRUE(reference.has_value());
        if (*text == *reference) ++same;
        // Buttons are read into 255 bytes; other texts leave room in 2048 for their arguments.
        EXPECT_LT(text->size(), row.use == Use::Button ? 255u : 1024u);
        if (row.use != Use::Message) {
            EXPECT_EQ(text->find('%'), std::string::npos) << "shown without arguments";
            continue;
        }
        Placeholders found = ParsePlaceholders(*text);
        EXPECT_EQ(found.error, "") << "in \"" << *text << "\"";
        EXPECT_EQ(std::string(row.args).compare(0, found.kinds.size(), found.kinds), 0)
            << "\"" << *text << "\" expects \"" << found.kinds << "\", callers pass \"" << row.args
            << "\"";
        EXPECT_EQ(found.kinds, ParsePlaceholders(*reference).kinds) << "differs from English";
    }
    // A copy of the English library with a few texts changed is not a translation.
    if (GetParam().language != MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) {
        EXPECT_LE(same, static_cast<int>(std::size(kStrings)) / 10) << same << " untranslated";
    }
}

TEST_P(LanguageLibrary, DialogsCreateWithTheirControlsAndTheirTextsFit) {
    for (const auto& row : kTemplates) {
        SCOPED_TRACE(row.name);
        Window dialog = CreateHidden(library_.get(), row.name);
        ASSERT_TRUE(dialog) << "cannot create (error " << GetLastError() << ")";
        // System commands are refused in every dialog, so a close box would never work.
        EXPECT_FALSE(GetWindowLongA(dialog.get(), GWL_STYLE) & WS_SYSMENU);
        for (const auto& control : row.controls) {
            HWND child = GetDlgItem(dialog.get(), control.id);
            ASSERT_NE(child, nullptr) << "no control " << control.id;
            EXPECT_TRUE(IsKind(child, control.kind)) << control.id;
        }
        for (HWND c = GetWindow(dialog.get(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            std::string text = WindowText(c);
            if (text.empty() || !(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE)) continue;
            std::string overflow = Overflow(c, text);
            EXPECT_TRUE(overflow.empty()) << overflow;
        }
    }
    // The wizard buttons of the directory page carry captions loaded at run time.
    Window page = CreateHidden(library_.get(), "DLG_GET_DIRECTORY_32");
    ASSERT_TRUE(page);
    const std::pair<int, UINT> placed[] = {{500, 752}, {IDOK, 751}, {IDOK, 753}, {IDCANCEL, 754}};
    for (auto [control, id] : placed) {
        std::string overflow =
            Overflow(GetDlgItem(page.get(), control), LoadText(library_.get(), id).value_or(""));
        EXPECT_TRUE(overflow.empty()) << overflow;
    }
}

std::string LibraryName(const ::testing::TestParamInfo<LibrarySpec>& info) {
    std::string name = info.param.file;
    return name.substr(0, name.find('.'));
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageLibrary, ::testing::ValuesIn(kLibraries), LibraryName);

// ---- The executable's own templates -----------------------------------------------------------

TEST(OwnTemplates, LanguageDialogOffersSevenLanguagesInOneGroup) {
    Window dialog = CreateHidden(GetModuleHandleA(nullptr), "DLG_LANGUAGE");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(WindowText(dialog.get()), "Select a Language");
    const std::pair<int, const char*> radios[] = {
        {1202, "Nederlands"}, {1200, "English"},  {1203, "Fran\xe7" "ais"}, {1204, "Deutsch"},
        {1205, "Italiano"},   {1209, "Russian"}, {1210, "Espa\xf1ol"},
    };
    int groups = 0;
    for (auto [id, text] : radios) {
        HWND radio = GetDlgItem(dialog.get(), id);
        ASSERT_NE(radio, nullptr) << id;
        EXPECT_EQ(WindowText(radio), text);
        auto style = static_cast<DWORD>(GetWindowLongA(radio, GWL_STYLE));
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_AUTORADIOBUTTON)) << id;
        if (style & WS_GROUP) ++groups;
        EXPECT_TRUE(Overflow(radio, text).empty()) << id;
    }
    // One group, so that choosing one language clears the others.
    EXPECT_EQ(groups, 1);
    EXPECT_EQ(WindowText(GetDlgItem(dialog.get(), IDOK)), "OK");
}

}  // namespace

// ---- Choosing and loading the library ---------------------------------------------------------

namespace {

std::string LoadedFileName() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(LANGUAGE_GetInstance(), path, sizeof path);
    return std::strrchr(path, '\\') + 1;
}

TEST(LanguageLoad, ChoosesLoadsOnceAndTerminates) {
    struct Case {
        const char* getLanguage;  // null: undefined, as are the other two
        const char* installName;
        const char* defaultLibrary;
        std::vector<zyntest::DialogAnswer> answers;
        int result;
        const char* loaded;    // file name of the library, or the box's title on failure
        const char* language;  // the Language variable afterwards
    };
    const Case cases[] = {
        {nullptr, "Demo", "german.dll", {{IDOK}}, -1, "INSTALL.INF ERROR!", nullptr},
        {"N", "Demo", "D:\\X\\french.dll", {}, 0, "french.dll", nullptr},
        {"N", "Demo", nullptr, {}, 0, "english.dll", nullptr},
        {"Y", "Demo", "german.dll", {{IDOK}}, 0, "english.dll", "0"},
        {"Y", "Demo", "german.dll", {{IDCANCEL}}, 0, "english.dll", nullptr},
        {"Y", nullptr, "german.dll", {}, 0, "uninstal.dll", nullptr},
        {"N", "Demo", "missing.dll", {{IDOK}}, ERROR_LANGUAGE_DLL_NOT_LOADED, "Low Level Error", nullptr},
    };
    ASSERT_TRUE(CopyFileA(BesideTests("english.dll").c_str(), BesideTests("uninstal.dll").c_str(), FALSE));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.installName ? "" : "uninstall ") + (c.defaultLibrary ? c.defaultLibrary : "-"));
        ASSERT_EQ(VAR_Init(50), 0);
        if (c.getLanguage) VAR_Set("GetLanguage", c.getLanguage);
        if (c.installName) VAR_Set("InstallName", c.installName);
        if (c.defaultLibrary) VAR_Set("DefaultLanguageDLL", c.defaultLibrary);
        int modules = MODULE_Count();
        zyntest::DialogScript script;
        for (const auto& answer : c.answers) script.Add(answer);
        EXPECT_EQ(LANGUAGE_Load(), c.result);
        ASSERT_EQ(script.Unanswered(), 0u);
        char language[8] = "";
        EXPECT_EQ(VAR_Get("Language", language, sizeof language) == 0, c.language != nullptr);
        if (c.language) {
            EXPECT_STREQ(language, c.language);
        }
        if (c.result != 0) {
            EXPECT_EQ(script.Answered().at(0).caption, c.loaded);
            EXPECT_EQ(LANGUAGE_GetInstance(), nullptr);
            VAR_Terminate();
            continue;
        }
        EXPECT_EQ(LoadedFileName(), c.loaded);
        EXPECT_EQ(MODULE_Count(), modules + 1);
        EXPECT_EQ(LANGUAGE_Load(), 0);  // no second dialog: the script has no answer left
        if (c.installName) {
            EXPECT_EQ(LANGUAGE_Terminate(), 0);
        } else {
            LANGUAGE_Discard();  // the uninstaller removes its own copy
            EXPECT_EQ(GetFileAttributesA(BesideTests("uninstal.dll").c_str()), INVALID_FILE_ATTRIBUTES);
        }
        EXPECT_EQ(LANGUAGE_GetInstance(), nullptr);
        EXPECT_EQ(MODULE_Count(), modules);
        VAR_Terminate();
    }
    DeleteFileA(BesideTests("uninstal.dll").c_str());
}

}  // namespace
