// A self-registering library for the Register DLLs tests: registering writes the value
// HKCU\Software\ZynTest\RegServer\<its own path> = "registered", unregistering removes it.
// Built a second time without DllRegisterServer.
#include <windows.h>

namespace {

constexpr char kKey[] = "Software\\ZynTest\\RegServer";

HMODULE Self() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&Self), &module);
    return module;
}

}  // namespace

#ifndef ZYN_NO_REGISTER
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    char path[MAX_PATH];
    GetModuleFileNameA(Self(), path, sizeof path);
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS) return E_FAIL;
    RegSetValueExA(key, path, 0, REG_SZ, reinterpret_cast<const BYTE*>("registered"), 11);
    RegCloseKey(key);
    return S_OK;
}
#endif

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    char path[MAX_PATH];
    GetModuleFileNameA(Self(), path, sizeof path);
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS) return S_OK;
    RegDeleteValueA(key, path);
    RegCloseKey(key);
    return S_OK;
}
