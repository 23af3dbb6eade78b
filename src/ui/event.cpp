#include "ui/event.h"

#include <new>

#include "script/zynerror.h"
#include "ui/bmpdisp.h"

namespace {

constexpr char kSource[] = "event";

}  // namespace

int EVENT_Process(const char* line) {
    EVENT_COMMAND command;
    int result = 0;
    try {
        result = EVENT_ParseLine(line, &command);
    } catch (const std::bad_alloc&) {
        ZYNERROR_Fatal(ERROR_COMMON_MEMORY_ALLOCATE, kSource, __LINE__);
    }
    // A line too long goes back to the reader, which stops with it; the rest ends the run.
    if (result == ERROR_EVENT_BUFFER_TOO_SMAL) return result;
    if (result != 0) ZYNERROR_Fatal(result, kSource, __LINE__);
    switch (command.kind) {
    case EVENT_KIND::AddGraphic:
        BMPDISP_AddImage(command.name, command.x, command.y, BMPDISP_FLAG_PALETTE, 0);
        BMPDISP_ShowImages(0);
        break;
    case EVENT_KIND::RemoveGraphic:
        BMPDISP_RemoveImage(command.name);
        break;
    case EVENT_KIND::Testing:
        break;
    }
    return 0;
}
