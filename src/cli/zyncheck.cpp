// zyncheck: checks an install script before it is packed, or expands one token.
//   zyncheck FILE                        findings as FILE:LINE: error|warning: TEXT
//   zyncheck --eval TOKEN [NAME=VALUE]...
// Exit status: 0 clean, 1 bad command line or unreadable file, 2 findings.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "script/zyncheck.h"
#include "script/zynerror.h"

namespace {

constexpr int kClean = 0;
constexpr int kUsage = 1;
constexpr int kFindings = 2;

int Usage(FILE* to, int status) {
    std::fputs("usage: zyncheck FILE\n"
               "       zyncheck --eval TOKEN [NAME=VALUE ...]\n"
               "Checks an install script, or expands one token as a section handler would.\n"
               "Exit status: 0 clean, 1 bad command line or unreadable file, 2 findings.\n",
               to);
    return status;
}

int Eval(int argc, char** argv) {
    if (argc < 3) return Usage(stderr, kUsage);
    std::vector<std::string> assignments;
    for (int i = 3; i < argc; ++i) {
        if (std::strchr(argv[i], '=') == nullptr) {
            std::fprintf(stderr, "zyncheck: %s: expected NAME=VALUE\n", argv[i]);
            return kUsage;
        }
        assignments.emplace_back(argv[i]);
    }
    std::string result;
    const int rc = ZYNCHECK_EvalToken(argv[2], assignments, &result);
    if (rc == 0) {
        std::printf("%s\n", result.c_str());
        return kClean;
    }
    char text[2048];
    ZYNERROR_GetText(rc, text, sizeof text);
    std::printf("error %d: %s\n", rc, text);
    return kFindings;
}

// The file's bytes exactly as they are; false when it cannot be read (a directory included).
bool ReadFile(const char* path, std::string* bytes) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes->append(block, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

int Check(const char* path) {
    std::string script;
    if (!ReadFile(path, &script)) {
        std::fprintf(stderr, "zyncheck: %s: cannot read the file\n", path);
        return kUsage;
    }
    std::vector<ZYNCHECK_FINDING> findings;
    if (const int rc = ZYNCHECK_CheckText(script, &findings); rc != 0) {
        char text[2048];
        ZYNERROR_GetText(rc, text, sizeof text);
        std::fprintf(stderr, "zyncheck: %s: cannot check the script: %s\n", path, text);
        return kUsage;
    }
    for (const ZYNCHECK_FINDING& f : findings)
        std::printf("%s:%d: %s: %s\n", path, f.line, f.severity == ZYNCHECK_ERROR ? "error" : "warning",
                    f.text.c_str());
    return findings.empty() ? kClean : kFindings;
}

}  // namespace

int main(int argc, char** argv) {
    COMMON_RegisterErrorHooks();
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return Usage(stdout, kClean);
    if (argc >= 2 && std::strcmp(argv[1], "--eval") == 0) return Eval(argc, argv);
    if (argc != 2 || argv[1][0] == '-') return Usage(stderr, kUsage);
    return Check(argv[1]);
}
