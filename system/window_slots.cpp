#include "system/window_slots.h"

static HWND windowSlots[WindowSlotCount];

HWND WindowSlot(int set, unsigned int index, HWND handle)
{
    if (index >= WindowSlotCount)
        return NULL;
    if (set)
        windowSlots[index] = handle;
    return windowSlots[index];
}
