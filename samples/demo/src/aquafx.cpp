// The aquarium's effects library, a self-registering in-process COM server. Its one class
// ("Zyn.AquaFx") offers IUnknown only; registering enters the class and its ProgID under
// the current user's classes, unregistering removes exactly those keys.
#include <windows.h>

#include <objbase.h>
#include <unknwn.h>

#include <new>
#include <string>

namespace {

constexpr char kClsid[] = "{5A594E41-5155-4146-5800-000000000001}";
constexpr CLSID kClassId = {0x5a594e41, 0x5155, 0x4146, {0x58, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
constexpr char kProgId[] = "Zyn.AquaFx";
constexpr char kTitle[] = "Zyn Aquarium Effects";
constexpr char kClassesKey[] = "Software\\Classes\\CLSID";
const std::string kClassKey = std::string(kClassesKey) + "\\" + kClsid;
const std::string kProgIdKey = std::string("Software\\Classes\\") + kProgId;

HMODULE g_module = nullptr;
LONG g_objects = 0;

// One object type serves both the class factory and the instances: each is only IUnknown
// (the factory adds IClassFactory).
class Object : public IClassFactory {
public:
    explicit Object(bool factory) : factory_(factory) { InterlockedIncrement(&g_objects); }
    virtual ~Object() { InterlockedDecrement(&g_objects); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !(factory_ && IsEqualIID(iid, IID_IClassFactory)))
            return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        Object* created = new (std::nothrow) Object(false);
        if (created == nullptr) return E_OUTOFMEMORY;
        const HRESULT result = created->QueryInterface(iid, out);
        created->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    bool factory_;
    LONG references_ = 1;
};

bool SetDefault(const std::string& key, const std::string& value, const char* name = nullptr) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    char path[MAX_PATH];
    GetModuleFileNameA(g_module, path, sizeof path);
    const bool done = SetDefault(kClassKey, kTitle) && SetDefault(kClassKey + "\\InprocServer32", path) &&
                      SetDefault(kClassKey + "\\InprocServer32", "Apartment", "ThreadingModel") &&
                      SetDefault(kClassKey + "\\ProgID", kProgId) && SetDefault(kProgIdKey, kTitle) &&
                      SetDefault(kProgIdKey + "\\CLSID", kClsid);
    return done ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    // Sub-keys first: a key with sub-keys cannot be deleted.
    for (const std::string& key : {kClassKey + "\\InprocServer32", kClassKey + "\\ProgID", kClassKey,
                                   kProgIdKey + "\\CLSID", kProgIdKey})
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    // The containers too, when registering made them and nothing else is in them.
    for (const char* container : {kClassesKey, "Software\\Classes"}) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, container, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) continue;
        DWORD keys = 1, values = 1;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                         nullptr);
        RegCloseKey(key);
        if (keys == 0 && values == 0) RegDeleteKeyA(HKEY_CURRENT_USER, container);
    }
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!IsEqualCLSID(clsid, kClassId)) return CLASS_E_CLASSNOTAVAILABLE;
    Object* factory = new (std::nothrow) Object(true);
    if (factory == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }
