// The text side of the Registry32 section: the record markers kept in the change log,
// the names of backup keys and values, and the reading of DWORD data. No registry access
// here, so these rules are tested on their own.
#pragma once

#include <cstdint>

inline constexpr char LOGREG_KEY_ADDED[] = "KEY_ADDED_BY_ZYN_INSTALL";
inline constexpr char LOGREG_KEY_DELETED[] = "KEY_DELETED_BY_ZYN_INSTALL";
inline constexpr char LOGREG_VALUE_ADDED[] = "VALUE_ADDED_BY_ZYN_INSTALL";
inline constexpr char LOGREG_VALUE_CHANGED[] = "VALUE_CHANGED_BY_ZYN_INSTALL";
inline constexpr char LOGREG_VALUE_DELETED[] = "VALUE_DELETED_BY_ZYN_INSTALL";
inline constexpr char LOGREG_BACKUP_KEY_PREFIX[] = "ZYN_KEY_";
inline constexpr char LOGREG_BACKUP_VALUE_PREFIX[] = "ZYN_VALUE_";
inline constexpr int LOGREG_BACKUP_DIGITS = 4;
inline constexpr int LOGREG_BACKUP_COUNT = 10000;

enum LOGREG_RECORD {
    LOGREG_RECORD_NONE,  // no record at all
    LOGREG_RECORD_KEY_ADDED,
    LOGREG_RECORD_KEY_DELETED,
    LOGREG_RECORD_VALUE_ADDED,
    LOGREG_RECORD_VALUE_CHANGED,
    LOGREG_RECORD_VALUE_DELETED,
    LOGREG_RECORD_UNKNOWN,  // data that begins with none of the markers
};

// The kind of a record by the marker its data begins with (case-sensitive).
LOGREG_RECORD LOGREG_RecordKind(const char* data);
// The marker of a kind; "" for none and unknown.
const char* LOGREG_RecordMarker(LOGREG_RECORD kind);
// The text after the first comma of a record's data (the backup's name); "" if none.
const char* LOGREG_RecordBackup(const char* data);
// prefix and number in four digits with leading zeros; -1802 when buffer cannot hold them.
int LOGREG_UniqueName(const char* prefix, int number, char* buffer, int size);
// REG_DWORD data: a signed long read with automatic base (0x hexadecimal, leading 0
// octal), clamped to the 32-bit range; text without digits reads as 0.
int32_t LOGREG_ParseDword(const char* text);
