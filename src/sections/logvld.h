// The Validate Files section: a fingerprint (DAT) file of fixed-size records, one per
// installed file: its path, size and four 16-byte samples, for the demo to check itself.
#pragma once

#include <cstdint>

#include "log/zynlog.h"

inline constexpr char LOGVLD_KEY[] = "File Validation";
inline constexpr int LOGVLD_RECORD_SIZE = 344;
inline constexpr int LOGVLD_PATH_FIELD = 260;
inline constexpr uint32_t LOGVLD_MIN_SIZE = 128;
inline constexpr int LOGVLD_SAMPLE_SIZE = 16;

int LOGVLD_Install(int demo_id, const char* section, int action);
// Appends the record of file to the DAT file (full path, or only name and extension).
int LOGVLD_WriteRecord(const char* dat, const char* file, int full_path);
// The offset of sample index (0 to 3) of a file of size bytes.
uint32_t LOGVLD_SampleOffset(uint32_t size, uint32_t index);
int LOGVLD_Uninstall(ZYNLOG_KEY key, int demo_id);
