// Record markers, backup names and DWORD data of the Registry32 section.
#include "sections/logreg_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>

#include "script/errcodes.h"

namespace {

struct Marker {
    LOGREG_RECORD kind;
    const char* text;
};

// No marker is a prefix of another, so the order does not matter.
constexpr Marker kMarkers[] = {
    {LOGREG_RECORD_KEY_ADDED, LOGREG_KEY_ADDED},         {LOGREG_RECORD_KEY_DELETED, LOGREG_KEY_DELETED},
    {LOGREG_RECORD_VALUE_ADDED, LOGREG_VALUE_ADDED},     {LOGREG_RECORD_VALUE_CHANGED, LOGREG_VALUE_CHANGED},
    {LOGREG_RECORD_VALUE_DELETED, LOGREG_VALUE_DELETED},
};

}  // namespace

LOGREG_RECORD LOGREG_RecordKind(const char* data) {
    if (data == nullptr) return LOGREG_RECORD_UNKNOWN;
    for (const Marker& marker : kMarkers) {
        if (std::strncmp(data, marker.text, std::strlen(marker.text)) == 0) return marker.kind;
    }
    return LOGREG_RECORD_UNKNOWN;
}

const char* LOGREG_RecordMarker(LOGREG_RECORD kind) {
    for (const Marker& marker : kMarkers) {
        if (marker.kind == kind) return marker.text;
    }
    return "";
}

const char* LOGREG_RecordBackup(const char* data) {
    const char* comma = data != nullptr ? std::strchr(data, ',') : nullptr;
    return comma != nullptr ? comma + 1 : "";
}

int LOGREG_UniqueName(const char* prefix, int number, char* buffer, int size) {
    if (buffer == nullptr || size < static_cast<int>(std::strlen(prefix)) + LOGREG_BACKUP_DIGITS + 1) {
        return ERROR_LOGREG_BUFFER_TOO_SMALL;
    }
    std::snprintf(buffer, static_cast<size_t>(size), "%s%0*d", prefix, LOGREG_BACKUP_DIGITS, number);
    return 0;
}

int32_t LOGREG_ParseDword(const char* text) {
    // long long, so that the clamp is the same where long has 64 bits.
    long long value = std::strtoll(text != nullptr ? text : "", nullptr, 0);
    if (value < INT32_MIN) return INT32_MIN;
    if (value > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(value);
}
