#include "ui/language.h"

namespace {

HINSTANCE g_library = nullptr;

}  // namespace

HINSTANCE LANGUAGE_GetInstance() { return g_library; }

int LANGUAGE_LoadString(int id, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    buffer[0] = '\0';
    // A null module would make LoadStringA read the executable's own strings.
    if (g_library == nullptr) return 0;
    int length = LoadStringA(g_library, static_cast<UINT>(id), buffer, size);
    if (length <= 0) buffer[0] = '\0';
    return length > 0 ? length : 0;
}
void LANGUAGE_SetInstance(HINSTANCE library) { g_library = library; }

// Placeholders until language selection lands.
int LANGUAGE_Load() { return 0; }
int LANGUAGE_Terminate() { return 0; }
void LANGUAGE_Discard() {}
