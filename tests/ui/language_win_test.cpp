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
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

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

// Statics that receive paths and descriptions at run time: one line each, no '&' processing.
const std::map<std::string, std::vector<int>> kRuntimeTextStatics = {
    {"DLG_STATUS", {200, 201, 204, 205}},
    {"DLG_DISKETTE", {301, 302}},
};

// Edit fields that take a path typed by the user, up to 50 characters or more.
const std::map<std::string, std::vector<int>> kPathEdits = {
    {"DLG_DISKETTE", {300}},
    {"DLG_GET_DIRECTORY_32", {1000}},
    {"DLG_BROWSE", {1000}},
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

// ---- Handles ----------------------------------------------------------------------------------

struct LibraryDeleter {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

struct DcReleaser {
    HWND window;
    HDC dc;
    ~DcReleaser() { ReleaseDC(window, dc); }
};

std::string BesideTests(const char* file) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + file;
}

// The text of a string id, or nullopt when the library has none.
std::optional<std::string> LoadText(HMODULE module, UINT id) {
    char buffer[4096];
    int n = LoadStringA(module, id, buffer, sizeof buffer);
    if (n <= 0) return std::nullopt;
    return std::string(buffer, n);
}

// ---- printf placeholders ----------------------------------------------------------------------

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

// ---- Dialog templates -------------------------------------------------------------------------

struct TemplateItem {
    int id = 0;
    std::string cls;  // "Button", "Edit", "Static" ... or the registered class name
    std::wstring text;
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    int fontSize = 0;
    std::wstring fontFace;
    std::vector<TemplateItem> items;
};

// Reads the little-endian fields of a template, remembering when it runs past the end.
class TemplateReader {
public:
    explicit TemplateReader(std::string_view bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }

    template <class T>
    T Get() {
        T value{};
        if (pos_ + sizeof(T) > bytes_.size()) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::wstring String() {
        std::wstring s;
        for (;;) {
            auto c = Get<WORD>();
            if (!ok_ || c == 0) return s;
            s += static_cast<wchar_t>(c);
        }
    }

    // A menu, class or title field: nothing, an ordinal after 0xFFFF, or a string.
    std::wstring StringOrOrdinal(int* ordinal) {
        *ordinal = 0;
        auto first = Get<WORD>();
        if (first == 0) return {};
        if (first == 0xFFFF) {
            *ordinal = Get<WORD>();
            return {};
        }
        pos_ -= sizeof(WORD);
        return String();
    }

    void AlignToDword() { pos_ = (pos_ + 3) & ~size_t{3}; }
    void Skip(size_t n) {
        if (pos_ + n > bytes_.size()) ok_ = false;
        pos_ += n;
    }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
    bool ok_ = true;
};

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::string ClassName(int ordinal, const std::wstring& name) {
    switch (ordinal) {
        case 0x80: return "Button";
        case 0x81: return "Edit";
        case 0x82: return "Static";
        case 0x83: return "ListBox";
        case 0x84: return "ScrollBar";
        case 0x85: return "ComboBox";
        default: return Narrow(name);
    }
}

// Parses both the classic and the extended template layout; nullopt if it is malformed.
std::optional<DialogTemplate> ParseTemplate(std::string_view bytes) {
    TemplateReader in(bytes);
    DialogTemplate dlg;
    bool extended = bytes.size() >= 4 && bytes[2] == '\xFF' && bytes[3] == '\xFF';
    WORD count = 0;
    if (extended) {
        in.Skip(4 + 4);  // version, signature, help id
        in.Get<DWORD>();  // extended style
        dlg.style = in.Get<DWORD>();
    } else {
        dlg.style = in.Get<DWORD>();
        in.Get<DWORD>();
    }
    count = in.Get<WORD>();
    dlg.x = in.Get<short>();
    dlg.y = in.Get<short>();
    dlg.cx = in.Get<short>();
    dlg.cy = in.Get<short>();
    int ordinal = 0;
    in.StringOrOrdinal(&ordinal);  // menu
    in.StringOrOrdinal(&ordinal);  // window class
    dlg.caption = in.String();
    if (dlg.style & (DS_SETFONT | DS_SHELLFONT)) {
        dlg.fontSize = in.Get<WORD>();
        if (extended) in.Skip(2 + 1 + 1);  // weight, italic, character set
        dlg.fontFace = in.String();
    }
    for (WORD i = 0; i < count && in.ok(); ++i) {
        in.AlignToDword();
        TemplateItem item;
        if (extended) {
            in.Get<DWORD>();  // help id
            in.Get<DWORD>();
            item.style = in.Get<DWORD>();
        } else {
            item.style = in.Get<DWORD>();
            in.Get<DWORD>();
        }
        item.x = in.Get<short>();
        item.y = in.Get<short>();
        item.cx = in.Get<short>();
        item.cy = in.Get<short>();
        item.id = extended ? static_cast<int>(in.Get<DWORD>()) : in.Get<short>();
        std::wstring cls = in.StringOrOrdinal(&ordinal);
        item.cls = ClassName(ordinal, cls);
        item.text = in.StringOrOrdinal(&ordinal);
        in.Skip(in.Get<WORD>());  // creation data
        dlg.items.push_back(item);
    }
    if (!in.ok()) return std::nullopt;
    return dlg;
}

std::optional<DialogTemplate> LoadTemplate(HMODULE module, const char* name) {
    HRSRC resource = FindResourceA(module, name, MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!resource) return std::nullopt;
    const void* data = LockResource(LoadResource(module, resource));
    if (!data) return std::nullopt;
    return ParseTemplate(
        std::string_view(static_cast<const char*>(data), SizeofResource(module, resource)));
}

bool IsKind(const std::string& cls, Kind kind) {
    switch (kind) {
        case Kind::Static: return lstrcmpiA(cls.c_str(), "Static") == 0;
        case Kind::Edit: return lstrcmpiA(cls.c_str(), "Edit") == 0;
        case Kind::Button: return lstrcmpiA(cls.c_str(), "Button") == 0;
        case Kind::Any: return true;
    }
    return false;
}

bool IsStaticFrame(const std::string& cls, DWORD style) {
    if (lstrcmpiA(cls.c_str(), "Static") != 0) return false;
    DWORD type = style & SS_TYPEMASK;
    return type == SS_BLACKFRAME || type == SS_GRAYFRAME || type == SS_WHITEFRAME ||
           type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT || type == SS_ETCHEDFRAME;
}

bool IsGroupBox(const std::string& cls, DWORD style) {
    return lstrcmpiA(cls.c_str(), "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

// A control that covers what lies under it (frames, lines and group boxes only enclose).
bool IsSolid(const TemplateItem& item) {
    return (item.style & WS_VISIBLE) && !IsStaticFrame(item.cls, item.style) &&
           !IsGroupBox(item.cls, item.style);
}

// Layout faults visible in the template alone: controls outside the dialog or on top of each
// other (frames, lines and group boxes may enclose others).
void ExpectTidyTemplate(const DialogTemplate& dlg) {
    for (const auto& item : dlg.items) {
        EXPECT_TRUE(item.x >= 0 && item.y >= 0 && item.x + item.cx <= dlg.cx &&
                    item.y + item.cy <= dlg.cy)
            << "control " << item.id << " \"" << Narrow(item.text) << "\" lies outside the "
            << dlg.cx << " x " << dlg.cy << " dialog";
    }
    for (size_t a = 0; a < dlg.items.size(); ++a) {
        for (size_t b = a + 1; b < dlg.items.size(); ++b) {
            const auto& p = dlg.items[a];
            const auto& q = dlg.items[b];
            bool solid = IsSolid(p) && IsSolid(q);
            bool overlap = p.x < q.x + q.cx && q.x < p.x + p.cx && p.y < q.y + q.cy &&
                           q.y < p.y + p.cy;
            EXPECT_FALSE(solid && overlap)
                << "controls " << p.id << " \"" << Narrow(p.text) << "\" and " << q.id << " \""
                << Narrow(q.text) << "\" overlap";
        }
    }
}

// ---- Live dialogs -----------------------------------------------------------------------------

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

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        children.push_back(c);
    }
    return children;
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

// Every text the template itself carries fits its control.
void ExpectTextsFit(HWND dialog) {
    for (HWND child : Children(dialog)) {
        std::string text = WindowText(child);
        if (text.empty() || !(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)) continue;
        std::string overflow = Overflow(child, text);
        EXPECT_TRUE(overflow.empty()) << overflow;
    }
}

// The access keys (letters after '&') of a text, in capitals.
std::string AccessKeys(const std::string& text) {
    std::string keys;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        char key[2] = {text[i + 1], 0};
        CharUpperBuffA(key, 1);
        keys += key[0];
    }
    return keys;
}

// Two controls of one dialog with the same access key make one of them unreachable by keyboard.
// `replaced` supplies texts that the program puts into controls at run time.
void ExpectDistinctAccessKeys(HWND dialog, const std::map<int, std::string>& replaced = {}) {
    std::map<char, int> owner;
    for (HWND child : Children(dialog)) {
        auto style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        std::string cls = WindowClass(child);
        if (lstrcmpiA(cls.c_str(), "Edit") == 0) continue;
        if (lstrcmpiA(cls.c_str(), "Static") == 0 && (style & SS_NOPREFIX)) continue;
        int id = GetDlgCtrlID(child);
        auto it = replaced.find(id);
        std::string text = it != replaced.end() ? it->second : WindowText(child);
        for (char key : AccessKeys(text)) {
            auto [where, fresh] = owner.emplace(key, id);
            EXPECT_TRUE(fresh) << "access key " << key << " of control " << id << " (\"" << text
                               << "\") is also used by control " << where->second;
        }
    }
}

// ---- Resource enumeration ---------------------------------------------------------------------

BOOL CALLBACK CollectStringBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<UINT>*>(list)->push_back(
            static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    std::string text = "#";
    if (IS_INTRESOURCE(name)) {
        text.append(std::to_string(reinterpret_cast<ULONG_PTR>(name)));
    } else {
        text = name;
    }
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(text);
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<LANGID>*>(list)->push_back(language);
    return TRUE;
}

// ---- Library fixture --------------------------------------------------------------------------

class LanguageLibrary : public ::testing::TestWithParam<LibrarySpec> {
protected:
    void SetUp() override {
        path_ = BesideTests(GetParam().file);
        code_.reset(LoadLibraryA(path_.c_str()));
        ASSERT_NE(code_, nullptr) << "cannot load " << path_ << " (error " << GetLastError()
                                  << "); the language libraries are built beside zyntests";
        data_.reset(LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_NE(data_, nullptr) << "cannot map " << path_ << " as a data file";
        english_.reset(LoadLibraryA(BesideTests("english.dll").c_str()));
        ASSERT_NE(english_, nullptr);
    }

    std::string path_;
    Library code_;     // loaded the way the installer loads it
    Library data_;     // mapped as resources only
    Library english_;  // the reference the translations are held against
};

TEST_P(LanguageLibrary, IsResourcesOnly) {
    // No entry point and no imports: the library must load on any Windows, and loading it must
    // never run code.
    auto base = reinterpret_cast<const BYTE*>(code_.get());
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt->OptionalHeader.AddressOfEntryPoint, 0u);
    const auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.Size != 0) {
        auto first =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        EXPECT_EQ(first->Name, 0u) << "imports from " << base + first->Name;
    }
}

TEST_P(LanguageLibrary, HasEveryStringWithinItsBuffer) {
    for (HMODULE module : {code_.get(), data_.get()}) {
        for (const auto& row : kStrings) {
            SCOPED_TRACE("string " + std::to_string(row.id));
            auto text = LoadText(module, row.id);
            ASSERT_TRUE(text.has_value()) << "missing";
            EXPECT_FALSE(text->empty());
            if (row.use == Use::Button) {
                EXPECT_LT(text->size(), 255u);
                EXPECT_EQ(text->find('\n'), std::string::npos) << "a button caption is one line";
            } else {
                // Leaves room in the 2048-byte result for paths and names as arguments.
                EXPECT_LT(text->size(), 1024u);
            }
        }
    }
}

TEST_P(LanguageLibrary, PlaceholdersMatchTheCallersArgumentsAndTheEnglishText) {
    for (const auto& row : kStrings) {
        SCOPED_TRACE("string " + std::to_string(row.id));
        auto text = LoadText(code_.get(), row.id);
        auto reference = LoadText(english_.get(), row.id);
        if (!text || !reference) continue;  // reported as missing above
        if (row.use != Use::Message) {
            EXPECT_EQ(text->find('%'), std::string::npos)
                << "\"" << *text << "\" is shown without arguments";
            continue;
        }
        Placeholders found = ParsePlaceholders(*text);
        EXPECT_EQ(found.error, "") << "in \"" << *text << "\"";
        std::string args = row.args;
        EXPECT_EQ(args.compare(0, found.kinds.size(), found.kinds), 0)
            << "\"" << *text << "\" expects arguments \"" << found.kinds << "\", callers pass \""
            << args << "\"";
        EXPECT_EQ(found.kinds, ParsePlaceholders(*reference).kinds)
            << "\"" << *text << "\" and \"" << *reference << "\" take different arguments";
    }
}

TEST_P(LanguageLibrary, CarriesNoStringsOrTemplatesTheProgramDoesNotKnow) {
    std::set<UINT> known;
    for (const auto& row : kStrings) known.insert(row.id);
    std::vector<UINT> blocks;
    // RT_STRING holds one resource per block of 16 ids, numbered from 1.
    EnumResourceNamesA(code_.get(), MAKEINTRESOURCEA(6), CollectStringBlock,
                       reinterpret_cast<LONG_PTR>(&blocks));
    ASSERT_FALSE(blocks.empty());
    for (UINT block : blocks) {
        for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
            if (LoadText(code_.get(), id)) {
                EXPECT_TRUE(known.count(id)) << "string " << id << " is not used by the program";
            }
        }
    }
    std::vector<std::string> names;
    EnumResourceNamesA(code_.get(), MAKEINTRESOURCEA(5), CollectName,
                       reinterpret_cast<LONG_PTR>(&names));
    for (const auto& name : names) {
        bool used = false;
        for (const auto& row : kTemplates) used = used || lstrcmpiA(row.name, name.c_str()) == 0;
        EXPECT_TRUE(used) << "template " << name << " is never looked up in a language library";
    }
}

TEST_P(LanguageLibrary, IsTaggedWithItsLanguageAndTranslated) {
    std::vector<LANGID> languages;
    EnumResourceLanguagesA(code_.get(), MAKEINTRESOURCEA(5), "DLG_STATUS", CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EnumResourceLanguagesA(code_.get(), MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(400 / 16 + 1),
                           CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    ASSERT_EQ(languages.size(), 2u);
    EXPECT_EQ(languages[0], GetParam().language);
    EXPECT_EQ(languages[1], GetParam().language);

    if (GetParam().language == MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) return;
    // A copy of the English library with a few texts changed is not a translation.
    int same = 0;
    for (const auto& row : kStrings) {
        auto text = LoadText(code_.get(), row.id);
        if (text && text == LoadText(english_.get(), row.id)) ++same;
    }
    EXPECT_LE(same, static_cast<int>(std::size(kStrings)) / 10)
        << same << " texts are the same as in English";
}

TEST_P(LanguageLibrary, TemplatesCarryTheirControlsInATidyLayout) {
    for (const auto& row : kTemplates) {
        SCOPED_TRACE(row.name);
        auto dlg = LoadTemplate(code_.get(), row.name);
        ASSERT_TRUE(dlg.has_value()) << "missing or malformed";
        ASSERT_TRUE(LoadTemplate(data_.get(), row.name).has_value());

        std::map<int, int> uses;
        for (const auto& item : dlg->items) ++uses[item.id];
        for (const auto& control : row.controls) {
            auto item = std::find_if(dlg->items.begin(), dlg->items.end(),
                                     [&](const TemplateItem& t) { return t.id == control.id; });
            ASSERT_NE(item, dlg->items.end()) << "no control " << control.id;
            EXPECT_EQ(uses[control.id], 1) << "control " << control.id << " appears twice";
            EXPECT_TRUE(IsKind(item->cls, control.kind))
                << "control " << control.id << " is a " << item->cls;
        }
        // The folder tree is created with this id at run time.
        EXPECT_EQ(uses.count(101), 0u) << "id 101 belongs to the folder tree";
        // System commands are refused in every dialog, so a close box would never work.
        EXPECT_FALSE(dlg->style & WS_SYSMENU) << "a close box that cannot close";
        ExpectTidyTemplate(*dlg);

        for (int id : kRuntimeTextStatics.count(row.name) ? kRuntimeTextStatics.at(row.name)
                                                           : std::vector<int>{}) {
            for (const auto& item : dlg->items) {
                if (item.id != id) continue;
                DWORD type = item.style & SS_TYPEMASK;
                EXPECT_TRUE(type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE)
                    << "control " << id << " wraps a long path out of sight";
                EXPECT_TRUE(item.style & SS_NOPREFIX)
                    << "control " << id << " would swallow the '&' of a file name";
            }
        }
        for (int id : kPathEdits.count(row.name) ? kPathEdits.at(row.name) : std::vector<int>{}) {
            for (const auto& item : dlg->items) {
                if (item.id == id) {
                    EXPECT_TRUE(item.style & ES_AUTOHSCROLL)
                        << "edit " << id << " stops taking characters at its right edge";
                }
            }
        }
    }
    // The status windows are positioned before they are shown, so they must start hidden.
    for (const char* name : {"DLG_STATUS", "DLG_UNINSTALL_STATUS"}) {
        auto dlg = LoadTemplate(code_.get(), name);
        ASSERT_TRUE(dlg.has_value());
        EXPECT_FALSE(dlg->style & WS_VISIBLE) << name;
    }
}

TEST_P(LanguageLibrary, DialogsCreateAndTheirTextsFit) {
    for (const auto& row : kTemplates) {
        SCOPED_TRACE(row.name);
        Window dialog = CreateHidden(code_.get(), row.name);
        ASSERT_NE(dialog, nullptr) << "cannot create (error " << GetLastError() << ")";
        for (const auto& control : row.controls) {
            HWND child = GetDlgItem(dialog.get(), control.id);
            ASSERT_NE(child, nullptr) << "no window for control " << control.id;
            EXPECT_TRUE(IsKind(WindowClass(child), control.kind)) << control.id;
        }
        ExpectTextsFit(dialog.get());
        if (kRuntimeTextStatics.count(row.name)) {
            for (int id : kRuntimeTextStatics.at(row.name)) {
                std::string overflow = Overflow(GetDlgItem(dialog.get(), id), "Xg");
                EXPECT_TRUE(overflow.empty()) << "too low for one line: " << overflow;
            }
        }
        if (std::string_view(row.name) != "DLG_GET_DIRECTORY_32") {
            ExpectDistinctAccessKeys(dialog.get());
        }
    }
}

TEST_P(LanguageLibrary, WizardButtonCaptionsFitTheDirectoryDialog) {
    Window dialog = CreateHidden(code_.get(), "DLG_GET_DIRECTORY_32");
    ASSERT_NE(dialog, nullptr);
    auto caption = [&](UINT id) { return LoadText(code_.get(), id).value_or(""); };
    // OK reads "finish" on the last page and "next" on the others.
    const std::pair<int, UINT> placed[] = {
        {500, 752}, {IDOK, 751}, {IDOK, 753}, {IDCANCEL, 754}};
    for (auto [control, id] : placed) {
        std::string overflow = Overflow(GetDlgItem(dialog.get(), control), caption(id));
        EXPECT_TRUE(overflow.empty()) << overflow;
    }
    for (UINT ok : {751u, 753u}) {
        SCOPED_TRACE("OK showing string " + std::to_string(ok));
        ExpectDistinctAccessKeys(
            dialog.get(), {{500, caption(752)}, {IDOK, caption(ok)}, {IDCANCEL, caption(754)}});
    }
}

TEST_P(LanguageLibrary, ErrorIntroductionFitsTheErrorAndWarningDialogs) {
    // Those two dialogs are the executable's own; only their introduction comes from here.
    auto intro = LoadText(code_.get(), 651);
    ASSERT_TRUE(intro.has_value());
    for (const char* name : {"ERRORMESSAGE", "WARNINGMESSAGE"}) {
        SCOPED_TRACE(name);
        Window dialog = CreateHidden(GetModuleHandleA(nullptr), name);
        ASSERT_NE(dialog, nullptr);
        std::string overflow = Overflow(GetDlgItem(dialog.get(), 350), *intro);
        EXPECT_TRUE(overflow.empty()) << overflow;
    }
}

std::string LibraryName(const ::testing::TestParamInfo<LibrarySpec>& info) {
    std::string name = info.param.file;
    return name.substr(0, name.find('.'));
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageLibrary, ::testing::ValuesIn(kLibraries), LibraryName);

// ---- The executable's own templates -----------------------------------------------------------

TEST(OwnTemplates, LanguageDialogOffersSevenLanguages) {
    auto dlg = LoadTemplate(GetModuleHandleA(nullptr), "DLG_LANGUAGE");
    ASSERT_TRUE(dlg.has_value());
    EXPECT_EQ(dlg->caption, L"Select a Language");
    EXPECT_EQ(dlg->fontFace, L"MS Sans Serif");
    EXPECT_EQ(dlg->fontSize, 8);
    EXPECT_EQ(dlg->cx, 189);
    EXPECT_EQ(dlg->cy, 92);
    EXPECT_EQ(dlg->style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME));

    struct Expected {
        int id;
        const wchar_t* text;
        int x, y;
    };
    const Expected radios[] = {
        {1202, L"Nederlands", 27, 7},  {1200, L"English", 27, 20},
        {1203, L"Fran\u00e7ais", 27, 33}, {1204, L"Deutsch", 27, 46},
        {1205, L"Italiano", 102, 7},   {1209, L"Russian", 102, 20},
        {1210, L"Espa\u00f1ol", 102, 33},
    };
    ASSERT_EQ(dlg->items.size(), std::size(radios) + 1);
    std::map<int, const TemplateItem*> byId;
    for (const auto& item : dlg->items) byId[item.id] = &item;
    ASSERT_TRUE(byId.count(IDOK));
    const TemplateItem& ok = *byId[IDOK];
    EXPECT_EQ(ok.cls, "Button");
    EXPECT_EQ(ok.text, L"OK");
    EXPECT_EQ((std::vector<int>{ok.x, ok.y, ok.cx, ok.cy}), (std::vector<int>{69, 68, 50, 14}));
    int groups = 0;
    for (const auto& want : radios) {
        SCOPED_TRACE(want.id);
        ASSERT_TRUE(byId.count(want.id));
        const TemplateItem& item = *byId[want.id];
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.style & BS_TYPEMASK, static_cast<DWORD>(BS_AUTORADIOBUTTON));
        if (item.style & WS_GROUP) ++groups;
    }
    // One group, so that choosing one language clears the others and arrow keys move between them.
    EXPECT_EQ(groups, 1);
    ExpectTidyTemplate(*dlg);

    Window dialog = CreateHidden(GetModuleHandleA(nullptr), "DLG_LANGUAGE");
    ASSERT_NE(dialog, nullptr);
    ExpectTextsFit(dialog.get());
}

TEST(OwnTemplates, PleaseWaitBoxIsAnEmptyCaptionedPopup) {
    auto dlg = LoadTemplate(GetModuleHandleA(nullptr), "DLG_MODELESS");
    ASSERT_TRUE(dlg.has_value());
    EXPECT_EQ(dlg->style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(dlg->cx, 185);
    EXPECT_EQ(dlg->cy, 128);
    EXPECT_EQ(dlg->fontFace, L"MS Sans Serif");
    EXPECT_EQ(dlg->fontSize, 8);
    EXPECT_EQ(dlg->caption, L"");
    EXPECT_TRUE(dlg->items.empty());
}

// The parser itself: a template cut short must be refused, not read past its end.
TEST(OwnTemplates, TruncatedTemplateIsRefused) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(self, "DLG_LANGUAGE", MAKEINTRESOURCEA(5));
    ASSERT_NE(resource, nullptr);
    std::string_view whole(static_cast<const char*>(LockResource(LoadResource(self, resource))),
                           SizeofResource(self, resource));
    ASSERT_TRUE(ParseTemplate(whole).has_value());
    for (size_t cut : {size_t{0}, size_t{10}, whole.size() / 2, whole.size() - 40}) {
        EXPECT_FALSE(ParseTemplate(whole.substr(0, cut)).has_value()) << cut;
    }
}

TEST(Placeholders, ParsesWhatPrintfConsumes) {
    struct Case {
        const char* text;
        const char* kinds;
        bool ok;
    };
    const Case cases[] = {
        {"plain", "", true},
        {"100%% sure", "", true},
        {"%s and %d", "si", true},
        {"%-20s|%05u|%.3s|%x", "sisi", true},
        {"%*d", "", false},
        {"%.*s", "", false},
        {"%ls", "", false},
        {"%1$s", "", false},
        {"%f", "", false},
        {"%n", "", false},
        {"ends with %", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Placeholders p = ParsePlaceholders(c.text);
        EXPECT_EQ(p.error.empty(), c.ok) << p.error;
        if (c.ok) {
            EXPECT_EQ(p.kinds, c.kinds);
        }
    }
}

}  // namespace
