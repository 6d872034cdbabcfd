#include "daily.h"

#include <stdio.h>
#include <string.h>

#include "tests/common/list_bytes.h"
#include "tests/common/settings_bytes.h"

// ---- The user's files -----------------------------------------------------

static bool makeDataFolder()
{
    return CreateDirectoryA(dataFolder().c_str(), NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool writeUsersSettings(const SettingsRecord &record)
{
    // The program puts the same mask in place before it reads a file.
    SetScrambleMask(ScrambleMaskValue);
    return makeDataFolder() && saveFileBytes(dataFile("Vombly.cfg"), settingsFileBytes(record));
}

bool readUsersSettings(SettingsRecord *record)
{
    SetScrambleMask(ScrambleMaskValue);
    std::vector<unsigned char> bytes = readFileBytes(dataFile("Vombly.cfg"));
    return DecodeSettingsFile(bytes.data(), bytes.size(), record) == 1;
}

std::string listFilePath(int list)
{
    char name[32];
    snprintf(name, ARRAYSIZE(name), "Vombly%d.dat", list);
    return dataFile(name);
}

bool writeUsersList(int list, const std::vector<std::string> &entries)
{
    SetScrambleMask(ScrambleMaskValue);
    bool ok = false;
    std::vector<unsigned char> bytes = encodeListFile(entries, &ok);
    return ok && makeDataFolder() && saveFileBytes(listFilePath(list), bytes);
}

std::vector<std::string> readUsersList(int list, bool *ok)
{
    SetScrambleMask(ScrambleMaskValue);
    std::vector<unsigned char> bytes = readFileBytes(listFilePath(list));
    size_t at = 0;
    std::vector<std::string> entries = decodeListFile(bytes, &at);
    if (ok != nullptr)
        *ok = at == bytes.size();
    return entries;
}

// ---- The main window ------------------------------------------------------

POINT entryPoint(HWND listBox, int index)
{
    // Wine carries the rect of LB_GETITEMRECT across processes.
    RECT item = {0, 0, 0, 0};
    DWORD_PTR result = 0;
    POINT none = {-1, -1};
    if (!sendTimeout(listBox, LB_GETITEMRECT, (WPARAM)index, (LPARAM)&item, &result) || (LRESULT)result == LB_ERR)
        return none;
    POINT at = centre(item);
    // A few pixels in from the left, where every entry has text or space.
    at.x = item.left + 20 < item.right ? item.left + 20 : at.x;
    MapWindowPoints(listBox, NULL, &at, 1);
    return at;
}

int selectedIndex(HWND listBox)
{
    DWORD_PTR result = 0;
    if (!sendTimeout(listBox, LB_GETCURSEL, 0, 0, &result))
        return LB_ERR;
    return (int)(LRESULT)result;
}

std::string selectedEntry(HWND listBox)
{
    int index = selectedIndex(listBox);
    std::vector<std::string> entries = listBoxEntries(listBox);
    return index >= 0 && (size_t)index < entries.size() ? entries[(size_t)index] : "";
}

static bool pointAtEntry(HWND listBox, int index, POINT *at)
{
    if (!bringToFront(listBox))
        return false;
    *at = entryPoint(listBox, index);
    return at->x >= 0;
}

bool clickEntry(HWND listBox, int index)
{
    POINT at;
    if (!pointAtEntry(listBox, index, &at) || !bringToFront(listBox))
        return false;
    // Under load the first click can go to the window's activation rather
    // than the list; one more click is what a user would do.
    for (int attempt = 0; attempt < 2; attempt++) {
        if (!click(at))
            return false;
        if (waitFor([&] { return selectedIndex(listBox) == index; }, attempt == 0 ? 2000 : UiTimeoutMs))
            return true;
    }
    return false;
}

bool doubleClickEntry(HWND listBox, int index)
{
    POINT at;
    return pointAtEntry(listBox, index, &at) && doubleClick(at);
}

static const MenuEntry *findEntry(const std::vector<MenuEntry> &entries, const char *text)
{
    for (const MenuEntry &entry : entries) {
        if (entry.text == text)
            return &entry;
    }
    return nullptr;
}

bool chooseMenu(HWND window, const char *popup, const char *item)
{
    DWORD pid = 0;
    if (GetWindowThreadProcessId(window, &pid) == 0)
        return false;
    // The bar is read inside the program; the first read loads the probe
    // there, which takes a while on a busy machine.
    std::vector<MenuEntry> bar;
    const MenuEntry *title = nullptr;
    if (!waitFor(
            [&] {
                bar = menuItems(window);
                title = findEntry(bar, popup);
                return title != nullptr && !IsRectEmpty(&title->rect);
            },
            UiTimeoutMs))
        return false;
    // The items have their places on screen once the program's popup is
    // open, and only then does a click choose one.
    std::vector<MenuEntry> open;
    const MenuEntry *chosen = nullptr;
    auto popupOpen = [&] {
        if (findVisibleWindow(nullptr, "#32768", pid) == NULL)
            return false;
        open = menuItems(window);
        const MenuEntry *shown = findEntry(open, popup);
        chosen = shown != nullptr ? findEntry(shown->items, item) : nullptr;
        return chosen != nullptr && !IsRectEmpty(&chosen->rect);
    };
    // Under load the first click on the bar can go to the window's
    // activation rather than the menu (as in clickEntry); one more click,
    // while no popup is open, is what a user would do.
    bool opened = false;
    for (int attempt = 0; attempt < 2 && !opened; attempt++) {
        if (attempt > 0 && findVisibleWindow(nullptr, "#32768", pid) != NULL)
            break;
        if (!bringToFront(window) || !click(centre(title->rect)))
            return false;
        opened = waitFor(popupOpen, attempt == 0 ? 2000 : UiTimeoutMs);
    }
    if (!opened && !waitFor(popupOpen, UiTimeoutMs))
        return false;
    if (!click(centre(chosen->rect)))
        return false;
    // The item is chosen once the menu has closed: its command is on its way.
    return waitFor([&] { return findVisibleWindow(nullptr, "#32768", pid) == NULL; }, UiTimeoutMs);
}

HWND waitForDialog(const char *caption, DWORD pid, int timeoutMs)
{
    HWND dialog = NULL;
    waitFor([&] { return (dialog = findVisibleWindow(caption, "#32770", pid)) != NULL; }, timeoutMs);
    return dialog != NULL && waitUntilIdle(dialog) ? dialog : NULL;
}

HWND focusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    return thread != 0 && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : NULL;
}

bool answers(HWND window, int timeoutMs)
{
    DWORD_PTR result = 0;
    return sendTimeout(window, WM_NULL, 0, 0, &result, (UINT)timeoutMs) != 0;
}

// ---- Clipboard and screen -------------------------------------------------

bool clipboardHasText()
{
    return IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

std::vector<COLORREF> screenPixels(const RECT &rect)
{
    std::vector<COLORREF> pixels;
    for (uint32_t pixel : capturePixels(rect))
        pixels.push_back(RGB(pixel >> 16, pixel >> 8, pixel));
    return pixels;
}

std::string unixPath(const std::string &windowsPath)
{
    // kernel32 of Wine exports the translation; Windows has no such thing.
    typedef char *(CDECL * ToUnix)(const WCHAR *);
    ToUnix toUnix = (ToUnix)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    wchar_t wide[MAX_PATH];
    if (toUnix == NULL || MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, ARRAYSIZE(wide)) == 0)
        return "";
    char *path = toUnix(wide);
    if (path == NULL)
        return "";
    std::string result = path;
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

