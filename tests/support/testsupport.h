// Shared helpers for unit tests: a private scratch directory per test and small file utilities.
#pragma once

#include <string>
#include <vector>

namespace zyntest {

// A fresh, empty directory that is removed with everything in it when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() joined with name by the platform's separator.
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// Exit status of a process that ended with exit code -1, as the test framework sees it.
#ifdef _WIN32
inline constexpr int kFatalExitCode = -1;
#else
inline constexpr int kFatalExitCode = 255;
#endif

#ifdef _WIN32
// Under Wine the error reporter's dialogs come up in every test process. They are
// answered at once (OK, Continue), so that a fatal path ends instead of waiting for a
// user: the answerer opens the details, records what they showed and closes them first.
struct ErrorDialogSeen {
    bool warning = false;           // WARNINGMESSAGE rather than ERRORMESSAGE
    std::string errorText;          // details, control 350
    std::string file, line, value;  // details, controls 352, 353, 354
};
// What the dialogs showed since the last call, oldest first.
std::vector<ErrorDialogSeen> TakeErrorDialogsSeen();
#endif

// The value of a variable, or "error N" with the store's code.
std::string VarText(const char* name);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace zyntest
