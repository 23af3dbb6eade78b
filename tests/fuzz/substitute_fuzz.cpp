// Substitution and evaluation blocks on arbitrary text. The input's first line becomes
// the value of the variable F (so values with references of their own are explored),
// the rest is the text to substitute; the whole input also goes to the evaluator.
// A faulty block is fatal in VAR_Substitute, so blocks are checked first through the
// entry points that return codes, and only blocks that evaluate are substituted fully.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "script/var.h"
#include "script/vareval.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "substitute_fuzz: %s\n", what);
        std::abort();
    }
}

void SetUpStore() {
    Check(VAR_Init(VAR_DEFAULT_MAX_NUM) == 0, "init");
    const char* vars[][2] = {
        {"A", "x"},        {"B", "$(A)"},      {"OS", "Win95"},   {"Y", "Y"},          {"N", "5"},
        {"W", "two words"}, {"E", ""},          {"D", "$"},        {"P", "(A)"},        {"S", "$(S)"},
        {"L1", "$(L2)"},   {"L2", "$(L1)"},    {"G", "a$(G)"},    {"K", "$[ $(N) ]"},  {"Q", "\""},
        {"F", ""}};
    for (const auto& v : vars) Check(VAR_Set(v[0], v[1]) == 0, "set");
}

void Substitute(const std::string& text) {
    static char expanded[VAR_MAX_WORK_LENGTH];
    static char result[VAR_MAX_WORK_LENGTH];
    for (int size : {VAR_MAX_WORK_LENGTH, 256, 8}) {
        const int rc = VAR_Expand(text.c_str(), expanded, size);
        Check(rc == 0 || (rc <= ERROR_VAR_MEMORY_ALLOCATE && rc >= ERROR_VAR_NOT_INITIALIZED), "expand code");
        if (rc != 0) continue;
        Check(std::strlen(expanded) < static_cast<size_t>(size), "expand length");
        std::string expected = expanded;
        if (VAREVAL_IsBlock(expanded)) {
            int32_t value = 0;
            const int code = VAREVAL_EvaluateBlock(expanded, &value);
            Check(code <= 0 && code >= ERROR_MISMATCHED_LEFT_AND_RIGHT, "block code");
            if (code < 0) continue;  // would end the run
            expected = std::to_string(value);
        }
        Check(VAR_Substitute(text.c_str(), result, size) == 0, "substitute code");
        Check(expected == result, "substitute result");
    }
}

void Evaluate(const std::string& text) {
    VAREVAL_NODE node;
    const int rc = VAREVAL_Parse(text.c_str(), &node);
    Check(rc <= 0 && rc >= ERROR_MISMATCHED_LEFT_AND_RIGHT, "parse code");
    if (rc == 0) VAREVAL_Evaluate(&node);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        SetUpStore();
        ready = true;
    }
    // The engine works on NUL-terminated text: the input ends at its first NUL.
    const std::string input(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    const size_t newline = input.find('\n');
    const std::string value = newline == std::string::npos ? std::string() : input.substr(0, newline);
    const std::string text = newline == std::string::npos ? input : input.substr(newline + 1);

    Check(VAR_Set("F", value.c_str()) == 0, "set F");
    Substitute(text);
    Evaluate(input);
    const std::string block = std::string("$[").append(input).append("]");
    int32_t value32 = 0;
    VAREVAL_EvaluateBlock(block.c_str(), &value32);
    return 0;
}
