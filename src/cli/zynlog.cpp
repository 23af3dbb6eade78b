// zynlog: looks into a change log file for support staff.
//   zynlog show FILE          the tree: indented [keys] and name = data lines
//   zynlog check FILE         exit 0 when the file loads cleanly, else 1 and the reason
//   zynlog normalize IN OUT   loads IN and writes the file a save of that tree writes
// The inspected file is never changed.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "log/zynlog.h"
#include "script/zynerror.h"
#include "sys/sys32.h"

namespace {

namespace fs = std::filesystem;

constexpr int kUsage = 2;

// A name of its own for the scratch copy, so that two checks never share it.
std::string UniqueStamp() {
    return std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

int Usage() {
    std::fputs("usage: zynlog show FILE\n"
               "       zynlog check FILE\n"
               "       zynlog normalize IN OUT\n",
               stderr);
    return kUsage;
}

// Why a load stops, in the words of someone reading the file.
const char* Explanation(int code) {
    switch (code) {
        case ERROR_ZYNLOG_KEY_NOT_OPEN:
            return "a key or value follows a \"}\" that closes no key";
        case ERROR_ZYNLOG_BUFFER_TOO_SMALL:
            return "a key name has 512 or more characters";
        case ERROR_ZYNLOG_FILENAME_TOO_LONG:
            return "the file name has 260 or more characters";
        case ERROR_ZYNLOG_DIRECTORY_DOESNT_EXIST:
            return "its directory does not exist";
        case ERROR_SYS_FILE_OPEN:
            return "it cannot be opened";
        case ERROR_SYS_FILE_READ:
        case ERROR_SYS_FILE_LENGTH:
            return "it cannot be read";
        default:
            return "";
    }
}

void Report(const char* file, const char* what, int code) {
    char text[2048];
    ZYNERROR_GetText(code, text, sizeof text);
    std::string_view name = text;
    while (!name.empty() && (name.back() == ' ' || name.back() == ':')) name.remove_suffix(1);
    const char* why = Explanation(code);
    std::fprintf(stderr, "%s: %s%s%s [%d %.*s]\n", file, what, *why ? ": " : "", why, code,
                 static_cast<int>(name.size()), name.data());
}

// Loads file into the empty store without ever writing it back.
int Load(const char* file) {
    if (!SYS_Exists(file)) {
        std::fprintf(stderr, "%s: no such file\n", file);
        return ERROR_SYS_FILE_OPEN;
    }
    int result = ZYNLOG_Init(file, 0);
    ZYNLOG_SetFileName(nullptr);
    if (result != 0) Report(file, "does not load cleanly", result);
    return result;
}

// Names and data may hold line breaks and other control bytes: shown escaped, so that
// every entry stays on one line. Backslashes stay as they are: paths read naturally.
std::string Printable(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

struct Counts {
    int keys = 0;
    int values = 0;
};

// Walks the tree with its own stack: a damaged file may nest keys very deeply.
bool Show(bool print, Counts& counts) {
    struct Frame {
        ZYNLOG_KEY key;
        int depth;
        int next;
    };
    std::vector<Frame> stack{{ZYNLOG_ROOT_KEY, 0, -1}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        int sub_keys = 0, key_len = 0, values = 0, name_len = 0, data_len = 0;
        if (ZYNLOG_QueryKeyInfo(frame.key, &sub_keys, &key_len, &values, &name_len, &data_len) != 0) return false;
        std::string indent(static_cast<size_t>(frame.depth) * 2, ' ');
        if (frame.next < 0) {
            std::vector<char> name(static_cast<size_t>(name_len) + 1), data(static_cast<size_t>(data_len) + 1);
            for (int i = 0; i < values; ++i) {
                if (ZYNLOG_EnumValue(frame.key, i, name.data(), name_len + 1, data.data(), data_len + 1) != 0)
                    return false;
                ++counts.values;
                if (print)
                    std::printf("%s%s = %s\n", indent.c_str(), Printable(name.data()).c_str(),
                                Printable(data.data()).c_str());
            }
            frame.next = 0;
        }
        if (frame.next >= sub_keys) {
            stack.pop_back();
            continue;
        }
        std::vector<char> sub(static_cast<size_t>(key_len) + 1);
        ZYNLOG_KEY child = nullptr;
        if (ZYNLOG_EnumKey(frame.key, frame.next++, sub.data(), key_len + 1) != 0 ||
            ZYNLOG_OpenKey(frame.key, sub.data(), &child) != 0)
            return false;
        ++counts.keys;
        if (print) std::printf("%s[%s]\n", indent.c_str(), Printable(sub.data()).c_str());
        int depth = frame.depth + 1;
        stack.push_back({child, depth, -1});
    }
    return true;
}

int ShowCommand(const char* file) {
    int result = Load(file);
    Counts counts;
    Show(true, counts);
    return result == 0 ? 0 : 1;
}

std::string ReadBytes(const char* file) {
    std::string bytes;
    if (std::FILE* in = std::fopen(file, "rb")) {
        char chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.append(chunk, n);
        std::fclose(in);
    }
    return bytes;
}

int CheckCommand(const char* file) {
    if (Load(file) != 0) return 1;
    Counts counts;
    Show(false, counts);
    std::printf("%s: loads cleanly: %d key%s, %d value%s\n", file, counts.keys, counts.keys == 1 ? "" : "s",
                counts.values, counts.values == 1 ? "" : "s");
    // A clean load can still have lost bytes (a string cut off, text outside the
    // delimiters): say so when the file is not what a save of its tree writes.
    std::string original = ReadBytes(file);
    std::error_code error;
    fs::path probe = fs::temp_directory_path(error) / ("zynlog-check-" + UniqueStamp() + ".log");
    ZYNLOG_SetFileName(probe.string().c_str());
    if (!error && ZYNLOG_Save() == 0 && ReadBytes(probe.string().c_str()) != original)
        std::printf("%s: note: not in the form a save writes (see zynlog normalize)\n", file);
    ZYNLOG_SetFileName(nullptr);
    fs::remove(probe, error);
    return 0;
}

int NormalizeCommand(const char* in, const char* out) {
    if (Load(in) != 0) {
        std::fprintf(stderr, "%s: nothing written\n", out);
        return 1;
    }
    ZYNLOG_SetFileName(out);
    int result = ZYNLOG_Save();
    ZYNLOG_SetFileName(nullptr);
    if (result != 0) {
        Report(out, "cannot be written", result);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    COMMON_RegisterErrorHooks();
    int result = kUsage;
    if (argc == 3 && std::strcmp(argv[1], "show") == 0) {
        result = ShowCommand(argv[2]);
    } else if (argc == 3 && std::strcmp(argv[1], "check") == 0) {
        result = CheckCommand(argv[2]);
    } else if (argc == 4 && std::strcmp(argv[1], "normalize") == 0) {
        result = NormalizeCommand(argv[2], argv[3]);
    } else {
        return Usage();
    }
    // No file name is set any more: terminating frees the tree and writes nothing.
    ZYNLOG_SetFileName(nullptr);
    ZYNLOG_Terminate();
    return result;
}
