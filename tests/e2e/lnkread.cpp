// Prints what a shell link holds, for the end-to-end scenarios:
//   lnkread LINK   ->  target=..., arguments=..., directory=... (one a line)
// Exit 1 when the link cannot be loaded.
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    CoInitialize(nullptr);
    int rc = 1;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            const std::string path = argv[1];
            std::wstring wide(path.size() + 1, L'\0');
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
                char target[MAX_PATH] = "", arguments[1024] = "", directory[MAX_PATH] = "";
                link->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH);
                link->GetArguments(arguments, sizeof arguments);
                link->GetWorkingDirectory(directory, sizeof directory);
                std::printf("target=%s\narguments=%s\ndirectory=%s\n", target, arguments, directory);
                rc = 0;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return rc;
}
