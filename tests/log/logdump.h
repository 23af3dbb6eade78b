// The change log tree as one comparable line, read through the public operations only:
// [key]{"name"="data"...sub-keys...}, the root without brackets. Bytes that could be
// confused with the layout, and unprintable ones, appear as \xNN.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "log/zynlog.h"
#include "script/module.h"

namespace zyntest {

// Back to the state of a program that has not touched the log yet.
inline void ResetLog() {
    ZYNLOG_SetFileName(nullptr);
    ZYNLOG_Terminate();
    MODULE_Unregister(ZYNLOG_Terminate);
}

inline std::string DumpText(const std::vector<char>& text) {
    std::string out;
    for (const char* c = text.data(); *c; ++c) {
        const unsigned char u = static_cast<unsigned char>(*c);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", u);
        out += u < 0x20 || u >= 0x7f || std::strchr("\"[]{}\\", *c) ? hex : std::string(1, *c);
    }
    return out;
}

inline std::string DumpLog(ZYNLOG_KEY key = ZYNLOG_ROOT_KEY) {
    int keys = 0, key_len = 0, values = 0, name_len = 0, data_len = 0;
    if (ZYNLOG_QueryKeyInfo(key, &keys, &key_len, &values, &name_len, &data_len) != 0) return "<query failed>";
    std::vector<char> name(name_len + 1), data(data_len + 1), sub(key_len + 1);
    std::string out;
    for (int i = 0; i < values; ++i) {
        if (ZYNLOG_EnumValue(key, i, name.data(), name_len + 1, data.data(), data_len + 1) != 0) return out + "<enum failed>";
        out += "\"" + DumpText(name) + "\"=\"" + DumpText(data) + "\"";
    }
    for (int i = 0; i < keys; ++i) {
        ZYNLOG_KEY child = nullptr;
        if (ZYNLOG_EnumKey(key, i, sub.data(), key_len + 1) != 0 || ZYNLOG_OpenKey(key, sub.data(), &child) != 0)
            return out + "<enum failed>";
        out += "[" + DumpText(sub) + "]{" + DumpLog(child) + "}";
    }
    return out;
}

}  // namespace zyntest
