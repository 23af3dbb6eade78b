#include "ui/browse.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "sys/syscheck.h"
#include "ui/dialog.h"
#include "ui/getdir_ids.h"
#include "ui/language.h"

namespace {

constexpr UINT kCommandFill = 8001;
constexpr UINT_PTR kTypingTimer = 1;
constexpr UINT kTypingDelay = 500;  // ms of quiet typing before the tree follows
constexpr int kDriveClassCount = 7;

// ---- Owners of shell objects --------------------------------------------------------------------

struct PidlFree {
    void operator()(ITEMIDLIST* pidl) const { ILFree(pidl); }
};
using Pidl = std::unique_ptr<ITEMIDLIST, PidlFree>;

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_ != nullptr) p_->AddRef();
    }
    ComPtr& operator=(const ComPtr& other) {
        if (other.p_ != nullptr) other.p_->AddRef();
        reset();
        p_ = other.p_;
        return *this;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_ != nullptr) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

// What a tree item holds: the folder that contains it, its id relative to that folder,
// its absolute id, and its parsing name ("C:\", "C:\DEMO", "\\SERVER") for typed paths.
struct ItemData {
    ComPtr<IShellFolder> parent;  // empty for the desktop itself
    Pidl relative;
    Pidl absolute;
    std::string parsing;
    bool filled = false;
};

struct ComScope {
    HRESULT result = CoInitialize(nullptr);
    ~ComScope() {
        if (SUCCEEDED(result)) CoUninitialize();
    }
};

// ---- Module state ----------------------------------------------------------------------------------

int g_root = BROWSE_ROOT_DESKTOP;
char g_path[BROWSE_PATH_SIZE] = "";
int g_refusedTypes = 0;

struct Session {
    HWND tree = nullptr;
    ComPtr<IShellFolder> desktop;
    bool failed = false;
    bool following = false;  // a selection made while following typed text
    bool writing = false;    // the edit field is written by the tree, not typed into
};
Session* g_session = nullptr;

// ---- Shell helpers ----------------------------------------------------------------------------------

std::string FromStrRet(STRRET& value, const ITEMIDLIST* pidl) {
    std::string text;
    switch (value.uType) {
        case STRRET_WSTR: {
            int size = WideCharToMultiByte(CP_ACP, 0, value.pOleStr, -1, nullptr, 0, nullptr, nullptr);
            if (size > 0) {
                text.resize(static_cast<size_t>(size));
                WideCharToMultiByte(CP_ACP, 0, value.pOleStr, -1, text.data(), size, nullptr, nullptr);
                text.resize(static_cast<size_t>(size) - 1);
            }
            CoTaskMemFree(value.pOleStr);
            break;
        }
        case STRRET_OFFSET:
            text = reinterpret_cast<const char*>(pidl) + value.uOffset;
            break;
        case STRRET_CSTR:
            text = value.cStr;
            break;
        default:
            break;
    }
    return text;
}

std::string ParsingName(IShellFolder* folder, const ITEMIDLIST* child) {
    STRRET name{};
    if (FAILED(folder->GetDisplayNameOf(child, SHGDN_NORMAL | SHGDN_FORPARSING, &name))) return {};
    return FromStrRet(name, child);
}

bool FileSystemPath(const ITEMIDLIST* absolute, char (&path)[MAX_PATH]) {
    path[0] = '\0';
    return SHGetPathFromIDListA(absolute, path) && path[0] != '\0';
}

ComPtr<IShellFolder> BindFolder(const ItemData& data) {
    ComPtr<IShellFolder> folder;
    if (!data.parent) {
        SHGetDesktopFolder(folder.put());
    } else {
        data.parent->BindToObject(data.relative.get(), nullptr, IID_IShellFolder,
                                  reinterpret_cast<void**>(folder.put()));
    }
    return folder;
}

bool IsRefusedDrive(const ITEMIDLIST* absolute) {
    if (g_refusedTypes == 0) return false;
    char path[MAX_PATH];
    if (!FileSystemPath(absolute, path) || std::string_view(path).size() != 3 || path[1] != ':') return false;
    int type = SYSCHECK_GetDriveClass(path);
    return type < 0 || type >= kDriveClassCount || (g_refusedTypes & (1 << type)) != 0;
}

// ---- The tree ---------------------------------------------------------------------------------------

ItemData* DataOf(HWND tree, HTREEITEM item) {
    TVITEMA query{};
    query.mask = TVIF_PARAM;
    query.hItem = item;
    if (!TreeView_GetItem(tree, &query)) return nullptr;
    return reinterpret_cast<ItemData*>(query.lParam);
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, std::unique_ptr<ItemData> data, bool hasChildren) {
    SHFILEINFOA closed{};
    SHFILEINFOA open{};
    auto id = reinterpret_cast<LPCSTR>(data->absolute.get());
    SHGetFileInfoA(id, 0, &closed, sizeof closed, SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    SHGetFileInfoA(id, 0, &open, sizeof open, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    insert.item.pszText = closed.szDisplayName;
    insert.item.iImage = closed.iIcon;
    insert.item.iSelectedImage = open.iIcon;
    insert.item.cChildren = hasChildren ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(data.get());
    HTREEITEM item = TreeView_InsertItem(tree, &insert);
    // The tree owns the data from here; TVN_DELETEITEM frees it.
    if (item != nullptr) data.release();
    return item;
}

int CALLBACK CompareInFolder(LPARAM first, LPARAM second, LPARAM folder) {
    auto* a = reinterpret_cast<ItemData*>(first);
    auto* b = reinterpret_cast<ItemData*>(second);
    HRESULT order = reinterpret_cast<IShellFolder*>(folder)->CompareIDs(0, a->relative.get(), b->relative.get());
    return FAILED(order) ? 0 : static_cast<short>(HRESULT_CODE(order));
}

// Inserts the sub-folders of item once, in the shell's own order.
void FillChildren(HWND owner, HWND tree, HTREEITEM item) {
    ItemData* data = DataOf(tree, item);
    if (data == nullptr || data->filled) return;
    data->filled = true;
    ComPtr<IShellFolder> folder = BindFolder(*data);
    ComPtr<IEnumIDList> items;
    int inserted = 0;
    if (folder && folder->EnumObjects(owner, SHCONTF_FOLDERS, items.put()) == S_OK && items) {
        ITEMIDLIST* raw = nullptr;
        while (items->Next(1, &raw, nullptr) == S_OK) {
            Pidl child(raw);
            SFGAOF attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
            const ITEMIDLIST* one = child.get();
            if (FAILED(folder->GetAttributesOf(1, &one, &attributes))) continue;
            if ((attributes & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER)) == 0) continue;
            if ((attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) == 0) continue;
            auto entry = std::make_unique<ItemData>();
            entry->absolute.reset(ILCombine(data->absolute.get(), child.get()));
            if (!entry->absolute || IsRefusedDrive(entry->absolute.get())) continue;
            entry->parsing = ParsingName(folder.get(), child.get());
            entry->parent = folder;
            entry->relative = std::move(child);
            if (Insert(tree, item, std::move(entry), (attributes & SFGAO_HASSUBFOLDER) != 0) != nullptr) ++inserted;
        }
    }
    if (inserted > 0) {
        TVSORTCB sort{item, CompareInFolder, reinterpret_cast<LPARAM>(folder.get())};
        TreeView_SortChildrenCB(tree, &sort, FALSE);
    } else {
        TVITEMA none{};
        none.mask = TVIF_CHILDREN;
        none.hItem = item;
        TreeView_SetItem(tree, &none);
    }
}

int RootFolderId(int mode) {
    if (mode == BROWSE_ROOT_DRIVES) return CSIDL_DRIVES;
    if (mode == BROWSE_ROOT_NETWORK) return CSIDL_NETWORK;
    return CSIDL_DESKTOP;
}

bool FillRoot(HWND dialog, Session& session) {
    ITEMIDLIST* raw = nullptr;
    int root = RootFolderId(g_root);
    if (FAILED(SHGetSpecialFolderLocation(dialog, root, &raw)) || raw == nullptr) return false;
    auto data = std::make_unique<ItemData>();
    data->absolute.reset(raw);
    if (root != CSIDL_DESKTOP) {
        // Relative to the desktop, an absolute id is its own relative id.
        data->relative.reset(ILClone(raw));
        data->parent = session.desktop;
        data->parsing = ParsingName(session.desktop.get(), raw);
    }
    HTREEITEM top = Insert(session.tree, TVI_ROOT, std::move(data), true);
    if (top == nullptr) return false;
    TreeView_Expand(session.tree, top, TVE_EXPAND);
    return true;
}

HTREEITEM FindChild(HWND tree, HTREEITEM parent, std::string_view parsing) {
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child != nullptr;
         child = TreeView_GetNextSibling(tree, child)) {
        ItemData* data = DataOf(tree, child);
        if (data != nullptr && data->parsing.size() == parsing.size() &&
            CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, data->parsing.data(),
                           static_cast<int>(parsing.size()), parsing.data(),
                           static_cast<int>(parsing.size())) == CSTR_EQUAL)
            return child;
    }
    return nullptr;
}

// The item under which typed paths of this kind are looked up, or null.
HTREEITEM LookupBase(Session& session, bool network) {
    HTREEITEM top = TreeView_GetRoot(session.tree);
    if (top == nullptr) return nullptr;
    if (g_root == BROWSE_ROOT_DRIVES) return network ? nullptr : top;
    if (g_root == BROWSE_ROOT_NETWORK) return network ? top : nullptr;
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, network ? CSIDL_NETWORK : CSIDL_DRIVES, &raw))) return nullptr;
    Pidl wanted(raw);
    for (HTREEITEM child = TreeView_GetChild(session.tree, top); child != nullptr;
         child = TreeView_GetNextSibling(session.tree, child)) {
        ItemData* data = DataOf(session.tree, child);
        if (data != nullptr && ILIsEqual(data->absolute.get(), wanted.get())) return child;
    }
    return nullptr;
}

void FollowTypedPath(HWND dialog, Session& session) {
    char typed[BROWSE_PATH_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_BROWSE_PATH, typed, sizeof typed);
    std::string_view text(typed);
    bool network = text.substr(0, 2) == "\\\\";
    HTREEITEM current = LookupBase(session, network);
    if (current == nullptr || text.empty()) return;

    std::string parsing;
    HTREEITEM found = nullptr;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\\', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view component = text.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        if (parsing.empty()) {
            parsing = network ? "\\\\" : "";
            parsing.append(component);
            // A drive is listed by its root.
            if (!network && component.size() == 2 && component[1] == ':') parsing += '\\';
        } else {
            if (parsing.back() != '\\') parsing += '\\';
            parsing.append(component);
        }
        TreeView_Expand(session.tree, current, TVE_EXPAND);
        HTREEITEM next = FindChild(session.tree, current, parsing);
        if (next == nullptr) break;
        current = found = next;
    }
    if (found == nullptr) return;
    session.following = true;
    TreeView_SelectItem(session.tree, found);
    TreeView_EnsureVisible(session.tree, found);
    session.following = false;
}

void WriteSelectedPath(HWND dialog, Session& session, const NMTREEVIEWA& change) {
    if (session.following) return;
    auto* data = reinterpret_cast<ItemData*>(change.itemNew.lParam);
    char path[MAX_PATH];
    if (data == nullptr || !FileSystemPath(data->absolute.get(), path)) return;
    session.writing = true;
    SetDlgItemTextA(dialog, IDC_BROWSE_PATH, path);
    session.writing = false;
}

// ---- The dialog -------------------------------------------------------------------------------------

HWND CreateTree(HWND dialog) {
    HWND area = GetDlgItem(dialog, IDC_BROWSE_TREE_AREA);
    if (area == nullptr) return nullptr;
    RECT place{};
    GetWindowRect(area, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS |
                  TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", style, place.left, place.top,
                                place.right - place.left, place.bottom - place.top, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_BROWSE_TREE)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
    if (tree == nullptr) return nullptr;
    // Tab order: the tree takes the placeholder's place.
    SetWindowPos(tree, area, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SHFILEINFOA info{};
    auto icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    // The system's image list is shared: the tree must not destroy it.
    if (icons != nullptr) TreeView_SetImageList(tree, icons, TVSIL_NORMAL);
    return tree;
}

void OnInit(HWND dialog, Session& session) {
    session.failed = false;
    session.following = false;
    session.writing = false;
    DIALOG_Center(dialog);
    session.tree = CreateTree(dialog);
    if (session.tree != nullptr) {
        PostMessageA(dialog, WM_COMMAND, kCommandFill, 0);
    } else {
        session.failed = true;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

void Close(HWND dialog, Session& session, int button) {
    KillTimer(dialog, kTypingTimer);
    EndDialog(dialog, session.failed ? BROWSE_FAILED : button);
}

void OnCommand(HWND dialog, Session& session, WPARAM wparam) {
    switch (LOWORD(wparam)) {
        case kCommandFill:
            if (!session.desktop || !FillRoot(dialog, session)) {
                session.failed = true;
                Close(dialog, session, IDCANCEL);
                return;
            }
            SetDlgItemTextA(dialog, IDC_BROWSE_PATH, g_path);
            break;
        case IDC_BROWSE_PATH:
            if (HIWORD(wparam) == EN_CHANGE && !session.writing) SetTimer(dialog, kTypingTimer, kTypingDelay, nullptr);
            break;
        case IDOK:
            GetDlgItemTextA(dialog, IDC_BROWSE_PATH, g_path, sizeof g_path);
            Close(dialog, session, IDOK);
            break;
        case IDCANCEL:
            Close(dialog, session, IDCANCEL);
            break;
        default:
            break;
    }
}

void OnNotify(HWND dialog, Session& session, const NMHDR& header) {
    if (header.hwndFrom != session.tree) return;
    const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
    switch (header.code) {
        case TVN_ITEMEXPANDINGA:
        case TVN_ITEMEXPANDINGW:
            if (change.action & TVE_EXPAND) FillChildren(dialog, session.tree, change.itemNew.hItem);
            break;
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW:
            WriteSelectedPath(dialog, session, change);
            break;
        case TVN_DELETEITEMA:
        case TVN_DELETEITEMW:
            delete reinterpret_cast<ItemData*>(change.itemOld.lParam);
            break;
        default:
            break;
    }
}

INT_PTR Dispatch(HWND dialog, Session& session, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog, session);
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, session, wparam);
            return TRUE;
        case WM_NOTIFY:
            OnNotify(dialog, session, *reinterpret_cast<const NMHDR*>(lparam));
            return FALSE;
        case WM_TIMER:
            if (wparam == kTypingTimer) {
                KillTimer(dialog, kTypingTimer);
                FollowTypedPath(dialog, session);
            }
            return TRUE;
        case WM_SYSCOMMAND:
            return DIALOG_SysCommand(dialog, wparam);
        case WM_DESTROY:
            KillTimer(dialog, kTypingTimer);
            // Free the items while this dialog still hears their deletion.
            if (session.tree != nullptr) TreeView_DeleteAllItems(session.tree);
            session.tree = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK BrowseProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    Session* session = g_session;
    if (session == nullptr) return FALSE;
    // Nothing may be thrown through the system's dialog code.
    try {
        return Dispatch(dialog, *session, message, wparam, lparam);
    } catch (const std::bad_alloc&) {
        session->failed = true;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
}

}  // namespace

int BROWSE_SetRoot(int mode) {
    int previous = g_root;
    g_root = mode;
    return previous;
}

void BROWSE_SetPath(const char* path) { std::snprintf(g_path, sizeof g_path, "%s", path != nullptr ? path : ""); }

void BROWSE_GetPath(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return;
    std::snprintf(buffer, static_cast<size_t>(size), "%s", g_path);
}

int BROWSE_SetRefusedTypes(int mask) {
    int previous = g_refusedTypes;
    g_refusedTypes = mask;
    return previous;
}

int BROWSE_Run(const char* templateName, HWND owner) {
    try {
        ComScope com;
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        Session session;
        SHGetDesktopFolder(session.desktop.put());
        Session* outer = std::exchange(g_session, &session);
        INT_PTR result = DialogBoxParamA(LANGUAGE_GetInstance(), templateName, owner, BrowseProc, 0);
        g_session = outer;
        // A template that cannot be shown is a browser that cannot be built.
        if (result == -1 || result == 0) return BROWSE_FAILED;
        return static_cast<int>(result);
    } catch (const std::bad_alloc&) {
        return BROWSE_FAILED;
    }
}
