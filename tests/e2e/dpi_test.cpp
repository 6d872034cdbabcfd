// The shipped program at the display scale of the session (96 DPI in the
// usual one; 120, 144 and 192 in the scaled ones): the window's size and
// place, its controls apart and inside it, the list name shown, the tray
// icon, the Add dialog whole, and Add, Toggle List and a double-click with
// real input.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

#include "daily_journey.h"
#include "tray.h"

namespace {

// The scale the session was made with: HKCU\Control Panel\Desktop
// LogPixels, 96 when it is not set.
int sessionDpi()
{
    DWORD value = 0, size = sizeof value, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 96;
    LONG read = RegQueryValueExA(key, "LogPixels", NULL, &type, (BYTE *)&value, &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD && value != 0 ? (int)value : 96;
}

RECT clientOnScreen(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, NULL, (POINT *)&client, 2);
    return client;
}

bool inside(const RECT &inner, const RECT &outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Each visible control of `window` inside its client area and, with
// `apart`, on no other. (A dialog's label may run on under the box below
// it, as its template has it; the in-process tests check what it shows.)
void expectControlsInside(HWND window, bool apart)
{
    RECT client = clientOnScreen(window);
    std::vector<HWND> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child))
            controls.push_back(child);
    }
    EXPECT_GE(controls.size(), 2u);
    for (size_t i = 0; i < controls.size(); i++) {
        RECT rect = windowRect(controls[i]);
        SCOPED_TRACE(testing::Message() << "control " << GetDlgCtrlID(controls[i]) << " \""
                                        << windowText(controls[i]) << "\"");
        EXPECT_TRUE(inside(rect, client));
        for (size_t j = i + 1; apart && j < controls.size(); j++) {
            RECT other = windowRect(controls[j]), both;
            EXPECT_FALSE(IntersectRect(&both, &rect, &other)) << "lies on control " << GetDlgCtrlID(controls[j]);
        }
    }
}

struct DpiJourney : DailyJourney {};

TEST_F(DpiJourney, WindowDialogAndInputAtTheSessionsScale)
{
    int dpi = sessionDpi();
    ASSERT_NO_FATAL_FAILURE(startWith(settingsRecord(1, 0, 0)));
    ASSERT_TRUE(waitUntilIdle(window));

    // The 96-DPI size scaled, centred on the screen.
    RECT frame = windowRect(window);
    int width = MulDiv(590, dpi, 96), height = MulDiv(450, dpi, 96);
    EXPECT_EQ(width, frame.right - frame.left);
    EXPECT_EQ(height, frame.bottom - frame.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - width) / 2, frame.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - height) / 2, frame.top);
    expectControlsInside(window, true);
    // The buttons end above the outer frame's bottom edge (98 % down).
    RECT client = clientOnScreen(window);
    int frameBottom = client.top + 98 * (client.bottom - client.top) / 100 - 2;
    for (int id : {IDC_ADD, IDC_REMOVE, IDC_TOGGLE})
        EXPECT_LE(windowRect(GetDlgItem(window, id)).bottom, frameBottom) << "button " << id;

    // The list name lies in the band above the list box (a line of MS Sans
    // Serif is 13 pixels at 96 DPI), nothing of it above the band, and its
    // letters are as tall as the scale makes them (8 pixels at 96 DPI).
    RECT list = windowRect(listBox);
    RECT band = {list.left, list.top - MulDiv(13, dpi, 96), list.left + (list.right - list.left) / 2, list.top};
    std::vector<COLORREF> pixels = screenPixels(band);
    ASSERT_TRUE(hasText(pixels)) << "no list name above the list box";
    RECT above = {band.left, band.top - MulDiv(4, dpi, 96), band.right, band.top - 1};
    EXPECT_FALSE(hasText(screenPixels(above))) << "the list name reaches above its line";
    int bandWidth = band.right - band.left, inkTop = -1, inkBottom = -1;
    for (size_t i = 0; i < pixels.size(); i++) {
        if (pixels[i] != pixels[0]) {
            int row = (int)i / bandWidth;
            inkTop = inkTop < 0 ? row : inkTop;
            inkBottom = row;
        }
    }
    // Taller than the 96-DPI capitals at any higher scale, and near the
    // scaled height (a pixel short allowed for the font's own steps).
    int shortest = dpi > 96 ? std::max(9, MulDiv(7, dpi, 96) - 1) : 7;
    EXPECT_GE(inkBottom - inkTop + 1, shortest) << "letters of an unscaled font";
    printf("dpi %d: list name letters %d px tall\n", dpi, inkBottom - inkTop + 1);

    // The tray shows the icon, made at this scale's small-icon size.
    POINT trayIcon;
    EXPECT_TRUE(findTrayIcon(MainTitle, &trayIcon)) << "no painted tray icon with the program's tip";

    // Add, by a click on its button: the dialog whole, then typed into.
    HWND dialog = openDialog(ViaButton, IDC_ADD, nullptr, AddTitle);
    ASSERT_NE(nullptr, dialog);
    expectControlsInside(dialog, false);
    ASSERT_TRUE(bringToFront(dialog));
    typeText("kilo scaled");
    ASSERT_TRUE(waitFor([&] { return windowText(GetDlgItem(dialog, IDC_ADD_EDIT)) == "kilo scaled"; }, UiTimeoutMs));
    press(VK_RETURN);
    ASSERT_TRUE(closed(dialog));
    Entries added = List1;
    added.push_back("kilo scaled");
    EXPECT_EQ(added, listBoxEntries(listBox));

    // Toggle List, by a click on its button, shows list 2.
    ASSERT_TRUE(waitUntilIdle(window));
    ASSERT_TRUE(command(ViaButton, IDC_TOGGLE, nullptr));
    ASSERT_TRUE(waitFor([&] { return listBoxEntries(listBox) == List2; }, UiTimeoutMs));

    // A double-click copies the entry under the pointer.
    ASSERT_TRUE(copyByDoubleClick(1));
    EXPECT_EQ(List2[1], clipboardText());
}

} // namespace
