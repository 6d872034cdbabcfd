#include "tray.h"

// Wine's taskbar lays its icons out from the right end of the tray in
// slots this wide: the small icon and a border of 2 on each side.
static const int IconBorder = 2;
// A tooltip shows after half a second of rest.
static const int TipTimeoutMs = 2500;

HWND taskbarWindow()
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    return taskbar != NULL && IsWindowVisible(taskbar) ? taskbar : NULL;
}

static int slotWidth()
{
    return GetSystemMetrics(SM_CXSMICON) + 2 * IconBorder;
}

// How many slots from the right end of the taskbar hold an icon: more
// than one colour inside the border. Read from the screen, so that
// counting costs no pointer moves.
static int paintedIcons(HWND taskbar)
{
    RECT client;
    GetClientRect(taskbar, &client);
    POINT origin = {0, 0};
    ClientToScreen(taskbar, &origin);
    int width = client.right, height = client.bottom, slot = slotWidth();
    if (width <= 0 || height <= 2 * IconBorder)
        return 0;

    RECT strip = {origin.x, origin.y, origin.x + width, origin.y + height};
    std::vector<uint32_t> pixels = capturePixels(strip);

    int count = 0;
    for (; !pixels.empty() && slot * (count + 1) <= width; count++) {
        int left = width - slot * (count + 1);
        uint32_t background = pixels[left];
        bool painted = false;
        for (int y = IconBorder; y < height - IconBorder && !painted; y++) {
            for (int x = left + IconBorder; x < left + slot - IconBorder && !painted; x++)
                painted = pixels[y * width + x] != background;
        }
        if (!painted)
            break;
    }
    return count;
}

struct TipQuery {
    HWND taskbar;
    int shown;
    std::string text;
};

static BOOL CALLBACK readTip(HWND window, LPARAM lParam)
{
    TipQuery *query = (TipQuery *)lParam;
    if (GetWindow(window, GW_OWNER) == query->taskbar && IsWindowVisible(window) &&
        windowClass(window) == "tooltips_class32") {
        query->shown++;
        query->text = windowText(window);
    }
    return TRUE;
}

// How many of the tray's tooltips show, and the text of the last one.
static TipQuery shownTips(HWND taskbar)
{
    TipQuery query = {taskbar, 0, ""};
    EnumWindows(readTip, (LPARAM)&query);
    return query;
}

// The tooltip of the icon at `at`, "" when none would show.
static std::string tipOf(HWND taskbar, POINT at)
{
    int slot = slotWidth();
    // A tooltip that has shown and timed out shows again only once the
    // pointer has left its icon, and only after a move the taskbar passes
    // on to it; so each try comes from off the tray to another pixel.
    const int nudges[] = {0, -3, 3};
    for (int nudge : nudges) {
        if (!movePointer(at.x, at.y - slot) ||
            !waitFor([&] { return shownTips(taskbar).shown == 0; }, TipTimeoutMs) ||
            !movePointer(at.x + nudge, at.y))
            return "";
        TipQuery tip = {};
        if (waitFor([&] { return (tip = shownTips(taskbar)).shown == 1; }, TipTimeoutMs))
            return tip.text;
    }
    return "";
}

// Reads the icons from the right end until one has the tooltip `stopAt`
// (NULL: all of them).
static std::vector<TrayIcon> readTray(const char *stopAt)
{
    std::vector<TrayIcon> icons;
    HWND taskbar = taskbarWindow();
    if (taskbar == NULL)
        return icons;
    RECT client;
    GetClientRect(taskbar, &client);
    int count = paintedIcons(taskbar), slot = slotWidth();
    for (int i = 0; i < count; i++) {
        POINT at = {client.right - slot * i - slot / 2, client.bottom / 2};
        ClientToScreen(taskbar, &at);
        icons.push_back({at, tipOf(taskbar, at)});
        if (stopAt != NULL && icons.back().tip == stopAt)
            break;
    }
    return icons;
}

std::vector<TrayIcon> trayIcons()
{
    return readTray(NULL);
}

int trayIconCount(const char *tip)
{
    int count = 0;
    for (const TrayIcon &icon : trayIcons())
        count += icon.tip == tip;
    return count;
}

bool findTrayIcon(const char *tip, POINT *at, int timeoutMs)
{
    return waitFor(
        [&] {
            std::vector<TrayIcon> icons = readTray(tip);
            if (icons.empty() || icons.back().tip != tip)
                return false;
            *at = icons.back().at;
            return true;
        },
        timeoutMs);
}

// ---- Pointer --------------------------------------------------------------

bool rightClick(POINT at)
{
    if (!movePointer(at.x, at.y))
        return false;
    mouseButton(MOUSEEVENTF_RIGHTDOWN);
    mouseButton(MOUSEEVENTF_RIGHTUP);
    return true;
}

bool drag(POINT from, POINT to)
{
    if (!movePointer(from.x, from.y))
        return false;
    mouseButton(MOUSEEVENTF_LEFTDOWN);
    // Small steps, as a hand makes them; the window's sizing loop reads
    // each one.
    bool moved = true;
    const int steps = 5;
    for (int i = 1; i <= steps && moved; i++)
        moved = movePointer(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    mouseButton(MOUSEEVENTF_LEFTUP);
    return moved;
}

// ---- Window areas ---------------------------------------------------------

static LRESULT hitTest(HWND window, int x, int y)
{
    DWORD_PTR hit = HTNOWHERE;
    sendTimeout(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), &hit);
    return (LRESULT)hit;
}

bool pointOfArea(HWND window, LRESULT area, POINT *at)
{
    // Each area is looked for along one line from the outer edge inward;
    // every hit test is a round trip to the program, so a few dozen at most.
    RECT rect = windowRect(window);
    int captionMiddle = rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    POINT from;
    int dx = -1, dy = 0;
    switch (area) {
    case HTCLOSE:
        from = {rect.right - 1, captionMiddle};
        break;
    case HTRIGHT:
        from = {rect.right - 1, (rect.top + rect.bottom) / 2};
        break;
    case HTBOTTOMRIGHT:
        from = {rect.right - 1, rect.bottom - 1};
        dy = -1;
        break;
    case HTCAPTION:
        from = {(rect.left + rect.right) / 2, rect.top};
        dx = 0;
        dy = 1;
        break;
    default:
        return false;
    }
    // The middle of the first run of points in the area.
    const int reach = 80;
    int first = -1, last = -1;
    for (int i = 0; i < reach; i++) {
        bool inArea = hitTest(window, from.x + dx * i, from.y + dy * i) == area;
        if (inArea && first < 0)
            first = i;
        if (inArea)
            last = i;
        else if (first >= 0)
            break;
    }
    if (first < 0)
        return false;
    int middle = (first + last) / 2;
    *at = {from.x + dx * middle, from.y + dy * middle};
    return true;
}
