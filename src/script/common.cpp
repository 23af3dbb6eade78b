#include "script/common.h"

#include <cctype>

int COMMON_IsTrue(const char* text) {
    if (text == nullptr) return 0;
    int c = std::tolower(static_cast<unsigned char>(text[0]));
    return c == '1' || c == 't' || c == 'y';
}
