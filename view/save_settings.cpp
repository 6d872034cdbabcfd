// SaveSettings: the window side of the settings, which takes the list box's
// selection into the record and repaints the main window after writing.
#include "view/save_settings.h"

#include <windows.h>

#include "system/window_slots.h"
#include "res/resource.h"
#include "store/settings.h"

int SaveSettings(void)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    if (listBox != NULL)
        SetActiveListSelection((int32_t)SendMessageA(listBox, LB_GETCURSEL, 0, 0));
    int written = WriteSettingsFile();

    // Without a main window (while it is being created) there is nothing to
    // repaint; a null window would repaint the whole desktop.
    HWND mainWindow = WindowSlot(0, MainWindowSlot, NULL);
    if (mainWindow != NULL)
        InvalidateRect(mainWindow, NULL, TRUE);
    return written;
}

int SaveSettingsAtStart(void)
{
    HWND listBox = WindowSlot(0, IDC_LISTBOX, NULL);
    if (listBox != NULL)
        SetActiveListSelection((int32_t)SendMessageA(listBox, LB_GETCURSEL, 0, 0));
    // Rewriting a file with the bytes it holds would only cost a flush.
    if (SettingsFileUnchanged())
        return 1;
    return SaveSettings();
}
