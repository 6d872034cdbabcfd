// The main window and the dialogs at the display scale the session runs at
// (96, 120, 144 or 192 DPI; VOMBLY_DPI names the one expected): sizes are
// the 96-DPI layout scaled, nothing lies outside its window or on another,
// text is drawn whole at the scaled height, and a move to a monitor of
// another scale rescales everything.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "core/startup.h"
#include "res/resource.h"
#include "shell/lifecycle.h"
#include "store/settings.h"
#include "system/dpi.h"
#include "system/window_slots.h"
#include "tests/win/draw_image.h"
#include "tests/win/main_window_util.h"
#include "view/controls.h"
#include "view/paint.h"

namespace {

const unsigned int ControlSlots[] = {IDC_LISTBOX, IDC_ADD, IDC_REMOVE, IDC_TOGGLE};

struct FontLine {
    int height;  // tmHeight + tmExternalLeading
    int ascent;
};

FontLine lineOf(HFONT font)
{
    TEXTMETRICA metrics = {};
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(dc, font != NULL ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return {metrics.tmHeight + metrics.tmExternalLeading, metrics.tmAscent};
}

// Two lines of the font a fresh device context of the control carries.
int twoFreshLines(HWND control)
{
    TEXTMETRICA metrics = {};
    HDC dc = GetDC(control);
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(control, dc);
    return 2 * (metrics.tmHeight + metrics.tmExternalLeading);
}

bool overlap(const RECT &a, const RECT &b)
{
    RECT both;
    return IntersectRect(&both, &a, &b) != 0;
}

bool inside(const RECT &inner, const RECT &outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string rectText(const RECT &r)
{
    char text[96];
    snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

DWORD rgbOf(COLORREF colour)
{
    return ((DWORD)GetRValue(colour) << 16) | ((DWORD)GetGValue(colour) << 8) | GetBValue(colour);
}

// The main window's client area freshly painted: as the screen shows it,
// or, for a window larger than the screen, as the window's own paint draws
// it on the class background (without the controls).
Image clientPicture(HWND window, bool fromScreen)
{
    if (!fromScreen) {
        RECT client;
        GetClientRect(window, &client);
        return drawImage(client.right, client.bottom, [&client](HDC memory) {
            FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));
            PaintMainWindow(GetModuleHandleA(NULL), memory);
        });
    }
    // Whatever a scale or size change left queued is handled first.
    pumpMessages(50);
    return captureClient(window);
}

struct DpiTest : MainWindowFixture {
    int dpi = 0;

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        lists[0] = {"alpha one", "bravo one", "charlie one"};
        lists[1] = {"delta two"};
    }

    void openAtSessionScale()
    {
        ASSERT_NO_FATAL_FAILURE(openMainWindow());
        dpi = GetWindowDpi(window);
        const char *expected = getenv("VOMBLY_DPI");
        if (expected != NULL) {
            ASSERT_EQ(atoi(expected), dpi) << "the session runs at another scale";
        }
        ASSERT_EQ(dpi, GetMainWindowDpi());
    }

    // The layout at the scale the window has now: every control where the
    // percentages put it, inside the client area and inside the outer frame,
    // none on another, in the scale's font, buttons of two scaled lines.
    void expectLaidOutFor(int scale)
    {
        RECT client;
        GetClientRect(window, &client);
        RECT frame;
        PercentRect(2, 2, 98, 98, &frame);
        InflateRect(&frame, -2, -2);
        RECT logo;
        PercentRect(8, 60, 0, 0, &logo);
        HFONT font = GetDpiFont(scale);
        for (size_t i = 0; i < ARRAYSIZE(ControlSlots); i++) {
            HWND control = WindowSlot(0, ControlSlots[i], NULL);
            RECT rect = rectInParent(control);
            SCOPED_TRACE(testing::Message() << "control " << ControlSlots[i] << " at " << rectText(rect));
            EXPECT_TRUE(inside(rect, frame)) << "outside the frame " << rectText(frame);
            EXPECT_LT(rect.right, logo.left) << "reaches the logo";
            EXPECT_EQ(font, (HFONT)SendMessageA(control, WM_GETFONT, 0, 0));
            for (size_t j = i + 1; j < ARRAYSIZE(ControlSlots); j++)
                EXPECT_FALSE(overlap(rect, rectInParent(WindowSlot(0, ControlSlots[j], NULL))))
                    << "lies on control " << ControlSlots[j];
            if (ControlSlots[i] != IDC_LISTBOX) {
                int lines = MulDiv(twoFreshLines(control), scale, GetWindowDpi(NULL));
                EXPECT_EQ(lines, rect.bottom - rect.top);
                // The caption's line fits with room for the button's edges.
                EXPECT_GE(rect.bottom - rect.top, lineOf(font).height + 4);
            }
        }
        int item = (int)SendMessageA(WindowSlot(0, IDC_LISTBOX, NULL), LB_GETITEMHEIGHT, 0, 0);
        EXPECT_GE(item, lineOf(font).height) << "list items shorter than their text";
    }

    // The list name drawn whole: the band above the list box shows exactly
    // what the name looks like in the scale's font, its cell ending at the
    // list box's top edge, and the band lies inside the outer frame.
    void expectListNameWhole(int scale, const char *name, bool fromScreen)
    {
        Image image = clientPicture(window, fromScreen);
        ASSERT_GT(image.width, 0);
        HFONT font = GetDpiFont(scale);
        RECT list = rectInParent(WindowSlot(0, IDC_LISTBOX, NULL));
        RECT logo;
        PercentRect(8, 60, 0, 0, &logo);
        RECT frame;
        PercentRect(2, 2, 98, 98, &frame);
        int line = lineOf(font).height;
        RECT band = {list.left, list.top - line, logo.left - 4, list.top};
        EXPECT_GE(band.top, frame.top + 2) << "the name's cell reaches the outer frame";

        DWORD face = rgbOf(GetSysColor(COLOR_BTNFACE));
        Image expected = drawImage(image.width, image.height, [&](HDC dc) {
            RECT all = {0, 0, image.width, image.height};
            FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
            SelectObject(dc, font);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            TextOutA(dc, list.left, list.top - line, name, (int)strlen(name));
        });
        int ink = 0, differ = 0, top = band.bottom, bottom = band.top;
        for (int y = band.top; y < band.bottom; y++) {
            for (int x = band.left; x < band.right; x++) {
                if (expected.at(x, y) != face) {
                    ink++;
                    top = y < top ? y : top;
                    bottom = y > bottom ? y : bottom;
                }
                differ += expected.at(x, y) != image.at(x, y);
            }
        }
        EXPECT_EQ(0, differ) << "pixels of the name band differ from the name in the scale's font";
        EXPECT_GT(ink, 0);
        // The glyphs themselves reach at least half the font's ascent.
        EXPECT_GE(bottom - top + 1, lineOf(font).ascent / 2);
    }

    // The logo at its scaled size: its last column and row are picture, and
    // just beyond them lie the scaled face-coloured gap and the frame.
    void expectLogoDrawnAt(int scale, bool fromScreen, int *drawnWidth, int *drawnHeight)
    {
        Image image = clientPicture(window, fromScreen);
        ASSERT_GT(image.width, 0);
        RECT corner;
        PercentRect(8, 60, 0, 0, &corner);
        int width = ScaleForDpi(LogoWidth, scale), height = ScaleForDpi(LogoHeight, scale);
        int gap = ScaleForDpi(1, scale);
        DWORD face = rgbOf(GetSysColor(COLOR_BTNFACE));
        DWORD shadow = rgbOf(GetSysColor(COLOR_BTNSHADOW));
        int x = corner.left, y = corner.top;
        ASSERT_LT(x + width + gap + 2, image.width);
        ASSERT_LT(y + height + gap + 2, image.height);
        // Measured along the middle row and column: where the picture ends.
        int right = x, bottom = y;
        while (right < image.width && image.at(right, y + height / 2) != face)
            right++;
        while (bottom < image.height && image.at(x + width / 2, bottom) != face)
            bottom++;
        *drawnWidth = right - x;
        *drawnHeight = bottom - y;
        EXPECT_EQ(width, *drawnWidth);
        EXPECT_EQ(height, *drawnHeight);
        for (int i = 0; i < gap; i++) {
            EXPECT_EQ(face, image.at(x + width + i, y + height / 2));
            EXPECT_EQ(face, image.at(x + width / 2, y + height + i));
        }
        EXPECT_EQ(shadow, image.at(x + width + gap, y + height / 2)) << "the frame's right edge";
        EXPECT_EQ(shadow, image.at(x + width / 2, y + height + gap)) << "the frame's bottom edge";
        EXPECT_EQ(shadow, image.at(x - 2, y + height / 2)) << "the frame's left edge";
    }
};

TEST_F(DpiTest, WindowControlsFontAndLogoAreTheLayoutScaled)
{
    ASSERT_NO_FATAL_FAILURE(openAtSessionScale());
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    EXPECT_EQ(MulDiv(MainWindowWidth, dpi, 96), frame.right - frame.left);
    EXPECT_EQ(MulDiv(MainWindowHeight, dpi, 96), frame.bottom - frame.top);
    // Dragging a border keeps that size.
    MINMAXINFO limits = {};
    SendMessageA(window, WM_GETMINMAXINFO, 0, (LPARAM)&limits);
    EXPECT_EQ(frame.right - frame.left, limits.ptMaxTrackSize.x);
    EXPECT_EQ(frame.bottom - frame.top, limits.ptMinTrackSize.y);

    FontLine stock = lineOf((HFONT)GetStockObject(ANSI_VAR_FONT));
    FontLine scaled = lineOf(GetDpiFont(dpi));
    // A font of whole pixels: within one pixel of the exact scale.
    EXPECT_NEAR(MulDiv(stock.height, dpi, 96), scaled.height, 1);
    if (dpi == 96) {
        EXPECT_EQ(GetStockObject(ANSI_VAR_FONT), (HGDIOBJ)GetDpiFont(dpi));
    }

    ASSERT_NO_FATAL_FAILURE(expectLaidOutFor(dpi));
    ASSERT_NO_FATAL_FAILURE(expectListNameWhole(dpi, "Home list", true));
    int logoWidth = 0, logoHeight = 0;
    ASSERT_NO_FATAL_FAILURE(expectLogoDrawnAt(dpi, true, &logoWidth, &logoHeight));
    printf("dpi %d: window %ldx%ld, client %ldx%ld, font line %d (stock %d), buttons %ld high, logo %dx%d\n", dpi,
           frame.right - frame.left, frame.bottom - frame.top, client.right, client.bottom, scaled.height,
           stock.height, rectInParent(WindowSlot(0, IDC_ADD, NULL)).bottom -
                             rectInParent(WindowSlot(0, IDC_ADD, NULL)).top,
           logoWidth, logoHeight);
}

TEST_F(DpiTest, MovingToAMonitorOfAnotherScaleRescalesEverything)
{
    ASSERT_NO_FATAL_FAILURE(openAtSessionScale());
    RECT before = rectInParent(WindowSlot(0, IDC_ADD, NULL));
    RECT start;
    GetWindowRect(window, &start);
    struct Case {
        int dpi;  // 0: back to the session's own
    } cases[] = {{144}, {192}, {120}, {96}, {0}};
    for (const auto &c : cases) {
        int scale = c.dpi != 0 ? c.dpi : dpi;
        SCOPED_TRACE(testing::Message() << "to " << scale << " DPI");
        // Windows suggests the window's rectangle at the new scale.
        SIZE size = GetMainWindowSize(scale);
        RECT suggested = {start.left + 10, start.top + 10, start.left + 10 + size.cx, start.top + 10 + size.cy};
        EXPECT_EQ(0, SendMessageA(window, DpiChangedMessage, MAKEWPARAM(scale, scale), (LPARAM)&suggested));
        pumpMessages(50);
        EXPECT_EQ(scale, GetMainWindowDpi());
        RECT now;
        GetWindowRect(window, &now);
        EXPECT_EQ(rectText(suggested), rectText(now));
        // The whole window was invalidated, and repaints in the new font.
        ASSERT_NO_FATAL_FAILURE(expectLaidOutFor(scale));
        // The desktop may be smaller than the window at the new scale.
        ASSERT_NO_FATAL_FAILURE(expectListNameWhole(scale, "Home list", false));
        int logoWidth = 0, logoHeight = 0;
        ASSERT_NO_FATAL_FAILURE(expectLogoDrawnAt(scale, false, &logoWidth, &logoHeight));
    }
    // Back at its own scale, the layout is the one it started with.
    EXPECT_EQ(rectText(before), rectText(rectInParent(WindowSlot(0, IDC_ADD, NULL))));
}

// ---- Dialogs ----------------------------------------------------------------

struct DialogFit {
    std::vector<std::string> faults;
    int controls = 0;
};

std::string controlName(HWND control)
{
    char text[128] = "";
    GetWindowTextA(control, text, ARRAYSIZE(text));
    char line[200];
    snprintf(line, sizeof line, "control %d \"%.60s\"", GetDlgCtrlID(control), text);
    return line;
}

// The height and width the control's text needs in its own font, laid out
// as the control lays it out.
SIZE textNeeds(HWND control, int width, UINT format)
{
    char text[512] = "";
    GetWindowTextA(control, text, ARRAYSIZE(text));
    SIZE needs = {0, 0};
    if (text[0] == '\0')
        return needs;
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)SendMessageA(control, WM_GETFONT, 0, 0));
    RECT rect = {0, 0, width, 0};
    DrawTextA(dc, text, -1, &rect, format | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    needs.cx = rect.right;
    needs.cy = rect.bottom;
    return needs;
}

bool isTextStatic(HWND control)
{
    char className[32] = "";
    GetClassNameA(control, className, ARRAYSIZE(className));
    return lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) <= SS_RIGHT;
}

// What a control shows: a text label only the lines its text takes (its
// rectangle may run on under the next control, which is harmless), any
// other control the whole of it.
RECT shownRect(HWND control)
{
    RECT rect = rectInParent(control);
    if (isTextStatic(control)) {
        RECT inner;
        GetClientRect(control, &inner);
        SIZE needs = textNeeds(control, inner.right, DT_WORDBREAK | DT_EXPANDTABS);
        if (needs.cy < rect.bottom - rect.top)
            rect.bottom = rect.top + needs.cy;
    }
    return rect;
}

// Every control inside the dialog's client area, what it shows on no other
// control, and every text whole in its control.
bool CheckDialogFit(DialogDriver *driver, int index)
{
    if (index != 0)
        return true;
    DialogFit *fit = (DialogFit *)driver->context;
    HWND dialog = driver->dialog;
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child))
            controls.push_back(child);
    }
    fit->controls = (int)controls.size();
    for (size_t i = 0; i < controls.size(); i++) {
        HWND control = controls[i];
        RECT rect = rectInParent(control);
        std::string name = controlName(control);
        if (!inside(rect, client))
            fit->faults.push_back(name + " at " + rectText(rect) + " leaves the client area " + rectText(client));
        for (size_t j = i + 1; j < controls.size(); j++) {
            if (overlap(shownRect(control), shownRect(controls[j])))
                fit->faults.push_back(name + " lies on " + controlName(controls[j]));
        }
        char className[32] = "";
        GetClassNameA(control, className, ARRAYSIZE(className));
        LONG style = GetWindowLongA(control, GWL_STYLE);
        RECT inner;
        GetClientRect(control, &inner);
        SIZE needs = {0, 0};
        if (isTextStatic(control)) {
            needs = textNeeds(control, inner.right, DT_WORDBREAK | DT_EXPANDTABS);
        } else if (lstrcmpiA(className, "Button") == 0) {
            LONG kind = style & BS_TYPEMASK;
            bool box = kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
                       kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE;
            int room = box ? inner.right - GetSystemMetrics(SM_CXMENUCHECK) - 4 : inner.right - 4;
            needs = textNeeds(control, room, (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE);
            if (needs.cx > room)
                fit->faults.push_back(name + " needs " + std::to_string(needs.cx) + " px across, has " +
                                      std::to_string(room));
            needs.cx = 0;
        } else if (lstrcmpiA(className, "Edit") == 0) {
            needs.cy = lineOf((HFONT)SendMessageA(control, WM_GETFONT, 0, 0)).height;
        }
        if (needs.cy > inner.bottom)
            fit->faults.push_back(name + " needs " + std::to_string(needs.cy) + " px down, has " +
                                  std::to_string(inner.bottom));
    }
    return true;
}

TEST_F(DpiTest, EveryDialogKeepsItsControlsWholeAndApart)
{
    ASSERT_NO_FATAL_FAILURE(openAtSessionScale());
    showList({"alpha one", "bravo one", "charlie one"}, 1);
    struct Case {
        const char *name;
        UINT message;
        WPARAM command;
        WORD answer;
    } cases[] = {
        {"About", WM_COMMAND, IDM_ABOUT, IDOK},
        {"Exit", WM_CLOSE, IDM_EXIT, IDCANCEL},
        {"Add", WM_COMMAND, IDM_ADD, IDCANCEL},
        {"Remove", WM_COMMAND, IDM_REMOVE, IDCANCEL},
        {"Edit", WM_COMMAND, IDM_ENTRY_EDIT, IDCANCEL},
        {"Settings", WM_COMMAND, IDM_SETTINGS, IDCANCEL},
        {"Keyboard and Privacy", WM_COMMAND, IDM_KEYBOARD_PRIVACY, IDCANCEL},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DialogFit fit;
        DialogDriver driver;
        ASSERT_NO_FATAL_FAILURE(startDialogDriver(&driver, &c.answer, 1, 3000, CheckDialogFit, &fit));
        SendMessageA(window, c.message, c.command, 0);
        finishDialogDriver(&driver);
        ASSERT_NE(nullptr, driver.dialog) << "no dialog was shown";
        EXPECT_FALSE(driver.gaveUp);
        EXPECT_GE(fit.controls, 2);
        for (const std::string &fault : fit.faults)
            ADD_FAILURE() << fault;
    }
}

} // namespace
