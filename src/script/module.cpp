#include "script/module.h"

#include <array>

#include "script/zynerror.h"

namespace {

struct Slot {
    MODULE_FUNCTION function = nullptr;
    uint32_t argument = 0;
};

std::array<Slot, MODULE_MAX_SLOTS> g_slots{};

}  // namespace

void MODULE_Register(MODULE_FUNCTION function, uint32_t argument) {
    for (Slot& slot : g_slots) {
        if (slot.function == nullptr) {
            slot = Slot{function, argument};
            return;
        }
    }
    ZYNERROR_Fatal(ERROR_MODULE_NONE_FREE, "module", 87);
}

void MODULE_Unregister(MODULE_FUNCTION function) {
    for (int i = MODULE_MAX_SLOTS - 1; i >= 0; --i) {
        if (g_slots[i].function == function) {
            for (int j = i; j < MODULE_MAX_SLOTS - 1; ++j) g_slots[j] = g_slots[j + 1];
            g_slots[MODULE_MAX_SLOTS - 1] = Slot{};
            return;
        }
    }
}

void MODULE_RunAll() {
    for (int i = MODULE_MAX_SLOTS - 1; i >= 0; --i) {
        if (MODULE_FUNCTION function = g_slots[i].function) function();
        g_slots[i] = Slot{};
    }
}

int MODULE_Count() {
    int count = 0;
    for (const Slot& slot : g_slots) count += slot.function != nullptr;
    return count;
}
