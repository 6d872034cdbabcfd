// The resident main window's life: shown or sent to the tray at start,
// closed to the tray, brought back from its tray icon, a second copy
// refused, File > Exit, its fixed size, and the About box.
#include <stdlib.h>

#include <string>
#include <vector>

#include "daily.h"
#include "journey.h"
#include "res/resource.h"
#include "tray.h"

namespace {

// The main window's place on the 1024x768 desktop: centred, fixed size.
const RECT NormalRect = {217, 159, 217 + 590, 159 + 450};

bool sameRect(const RECT &a, const RECT &b)
{
    return EqualRect(&a, &b) != FALSE;
}

std::string describe(const RECT &rect)
{
    char text[64];
    snprintf(text, ARRAYSIZE(text), "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right, rect.bottom);
    return text;
}

// The main window of a plain start once it has gone to the tray.
HWND trayedMainWindow(const VomblyProcess &vombly)
{
    HWND window = waitForWindow(MainTitle, MainClass, StartTimeoutMs, vombly.pid);
    if (window == NULL || !waitFor([&] { return inTray(window); }, UiTimeoutMs) || !waitUntilIdle(window))
        return NULL;
    return window;
}

// A dialog or message box of the process, shown or not.
bool hasDialog(const VomblyProcess &vombly)
{
    return findWindow(nullptr, "#32770", vombly.pid) != NULL;
}

// What a user sees of the lists: the entries shown and the one selected.
struct ListState {
    std::vector<std::string> entries;
    LRESULT selected;
};

ListState listState(HWND window)
{
    HWND listBox = GetDlgItem(window, IDC_LISTBOX);
    return {listBoxEntries(listBox), selectedIndex(listBox)};
}

// Sets the file's write time well in the past, so that a rewrite shows.
bool makeOlder(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    SYSTEMTIME old = {};
    old.wYear = 2001;
    old.wMonth = 1;
    old.wDay = 1;
    FILETIME time;
    bool ok = SystemTimeToFileTime(&old, &time) && SetFileTime(file, NULL, NULL, &time);
    CloseHandle(file);
    return ok;
}

// ---- Start ------------------------------------------------------------------

struct StartCase {
    const char *name;
    const char *commandLine;
    bool shown;
    const char *screenshot; // saved every run when not NULL
};

struct LifecycleStartJourney : Journey, ::testing::WithParamInterface<StartCase> {};

TEST_P(LifecycleStartJourney, ShowsTheWindowOrLeavesOnlyTheTrayIcon)
{
    const StartCase &c = GetParam();
    VomblyProcess vombly = startVombly(c.commandLine);
    HWND window = c.shown ? waitForMainWindow(vombly) : trayedMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    // Whatever happens to the window at start has happened by now.
    ASSERT_TRUE(waitUntilIdle(window));
    EXPECT_TRUE(isRunning(vombly));
    EXPECT_EQ(c.shown, IsWindowVisible(window) != FALSE);
    EXPECT_EQ(!c.shown, IsIconic(window) != FALSE);
    if (c.shown) {
        EXPECT_TRUE(sameRect(NormalRect, windowRect(window))) << describe(windowRect(window));
    }
    if (c.screenshot != nullptr) {
        ASSERT_TRUE(bringToFront(window));
        std::string shot = saveScreenshot(c.screenshot);
        EXPECT_TRUE(!shot.empty() && fileExists(shot)) << shot;
    }

    EXPECT_EQ(1, trayIconCount(MainTitle));
}

const StartCase startCases[] = {
    {"Plain", nullptr, false, nullptr},
    {"ShowMain", "/SM", true, "main-window"},
};

INSTANTIATE_TEST_SUITE_P(Cases, LifecycleStartJourney, ::testing::ValuesIn(startCases),
                         [](const ::testing::TestParamInfo<StartCase> &info) { return std::string(info.param.name); });

// ---- Closing to the tray and coming back -------------------------------------

struct CloseCase {
    const char *name;
    bool (*close)(HWND window);
};

bool clickCloseBox(HWND window)
{
    POINT box;
    return pointOfArea(window, HTCLOSE, &box) && bringToFront(window) && click(box);
}

bool pressAltF4(HWND window)
{
    if (!bringToFront(window))
        return false;
    press({VK_MENU, VK_F4});
    return true;
}

struct LifecycleCloseJourney : Journey, ::testing::WithParamInterface<CloseCase> {};

TEST_P(LifecycleCloseJourney, HidesInTheTrayUntilTheIconIsDoubleClicked)
{
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);

    ASSERT_TRUE(GetParam().close(window));
    ASSERT_TRUE(waitFor([&] { return inTray(window); }, UiTimeoutMs));
    // A question would be up before the window went.
    ASSERT_TRUE(waitUntilIdle(window));
    EXPECT_FALSE(hasDialog(vombly));
    EXPECT_TRUE(isRunning(vombly));

    POINT icon;
    ASSERT_TRUE(findTrayIcon(MainTitle, &icon));
    ASSERT_TRUE(doubleClick(icon));
    EXPECT_TRUE(waitFor([&] { return shownNormally(window); }, UiTimeoutMs));
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == window; }, UiTimeoutMs));
    EXPECT_TRUE(sameRect(NormalRect, windowRect(window))) << describe(windowRect(window));
}

const CloseCase closeCases[] = {
    {"CloseBox", clickCloseBox},
    {"AltF4", pressAltF4},
};

INSTANTIATE_TEST_SUITE_P(Cases, LifecycleCloseJourney, ::testing::ValuesIn(closeCases),
                         [](const ::testing::TestParamInfo<CloseCase> &info) { return std::string(info.param.name); });

// ---- Clicks on the tray icon ---------------------------------------------------

struct TrayClickCase {
    const char *name;
    bool (*clickIcon)(POINT at);
    bool restores;
};

bool leftClick(POINT at)
{
    return click(at);
}

struct LifecycleTrayJourney : Journey, ::testing::WithParamInterface<TrayClickCase> {};

TEST_P(LifecycleTrayJourney, OnlyADoubleClickRestoresTheWindow)
{
    const TrayClickCase &c = GetParam();
    VomblyProcess vombly = startVombly(nullptr);
    HWND window = trayedMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    POINT icon;
    ASSERT_TRUE(findTrayIcon(MainTitle, &icon));

    ASSERT_TRUE(c.clickIcon(icon));
    // Nothing to wait for when nothing should happen: a second is plenty.
    EXPECT_EQ(c.restores, waitFor([&] { return shownNormally(window); }, c.restores ? UiTimeoutMs : 1000));
    if (!c.restores) {
        EXPECT_TRUE(inTray(window));
        // The icon was live all along: a double-click brings the window.
        ASSERT_TRUE(doubleClick(icon));
        EXPECT_TRUE(waitFor([&] { return shownNormally(window); }, UiTimeoutMs));
    }
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == window; }, UiTimeoutMs));
    EXPECT_TRUE(sameRect(NormalRect, windowRect(window))) << describe(windowRect(window));
    EXPECT_TRUE(isRunning(vombly));
}

// A right click opens the tray menu (keyboard_test.cpp).
const TrayClickCase trayClickCases[] = {
    {"LeftClick", leftClick, false},
    {"DoubleClick", doubleClick, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, LifecycleTrayJourney, ::testing::ValuesIn(trayClickCases),
                         [](const ::testing::TestParamInfo<TrayClickCase> &info) {
                             return std::string(info.param.name);
                         });

// ---- A second copy ------------------------------------------------------------

struct SecondCopyCase {
    const char *name;
    const char *firstLine; // how the running copy was started
};

struct LifecycleSecondCopyJourney : Journey, ::testing::WithParamInterface<SecondCopyCase> {};

TEST_P(LifecycleSecondCopyJourney, IsRefusedAndLeavesTheRunningCopyAsItWas)
{
    const SecondCopyCase &c = GetParam();
    VomblyProcess first = startVombly(c.firstLine);
    bool shown = c.firstLine != nullptr;
    HWND window = shown ? waitForMainWindow(first) : trayedMainWindow(first);
    ASSERT_NE(nullptr, window);
    if (shown) {
        // Away from the start state: list 2, its second entry selected.
        std::vector<std::string> list1 = listState(window).entries;
        ASSERT_TRUE(clickControl(window, IDC_TOGGLE));
        ASSERT_TRUE(waitFor([&] { return listState(window).entries != list1; }, UiTimeoutMs));
        ASSERT_TRUE(clickEntry(GetDlgItem(window, IDC_LISTBOX), 1));
        ASSERT_TRUE(waitFor([&] { return listState(window).selected == 1; }, UiTimeoutMs));
    }
    ListState before = listState(window);
    ASSERT_FALSE(before.entries.empty());
    RECT rect = windowRect(window);

    VomblyProcess second = startVombly("/SM");
    MessageBoxSeen box = messageBox("Vombly", StartTimeoutMs, second.pid);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("Another copy of this program is already active !", box.text);
    ASSERT_TRUE(dismissBox(box.window));
    EXPECT_EQ(0u, waitForExit(second, ExitTimeoutMs));

    // The running copy answers, with the same window, place and lists.
    DWORD_PTR result = 0;
    EXPECT_NE(0, sendTimeout(window, WM_NULL, 0, 0, &result));
    EXPECT_TRUE(isRunning(first));
    EXPECT_EQ(window, findWindow(MainTitle, MainClass, first.pid));
    EXPECT_TRUE(sameRect(rect, windowRect(window))) << describe(windowRect(window));
    EXPECT_EQ(shown, IsWindowVisible(window) != FALSE);
    ListState after = listState(window);
    EXPECT_EQ(before.entries, after.entries);
    EXPECT_EQ(before.selected, after.selected);
    // Its tray icon stays; the second copy's has gone.
    EXPECT_EQ(1, trayIconCount(MainTitle));
}

const SecondCopyCase secondCopyCases[] = {
    {"RunningCopyShown", "/SM"},
    {"RunningCopyInTray", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, LifecycleSecondCopyJourney, ::testing::ValuesIn(secondCopyCases),
                         [](const ::testing::TestParamInfo<SecondCopyCase> &info) {
                             return std::string(info.param.name);
                         });

// ---- File > Exit ----------------------------------------------------------------

struct ExitCase {
    const char *name;
    bool (*answer)(HWND dialog);
    bool quits;
};

bool clickQuit(HWND dialog)
{
    return clickControl(dialog, IDOK);
}

bool clickCancel(HWND dialog)
{
    return clickControl(dialog, IDCANCEL);
}

bool pressEnter(HWND dialog)
{
    if (!bringToFront(dialog))
        return false;
    press(VK_RETURN);
    return true;
}

bool pressEscape(HWND dialog)
{
    if (!bringToFront(dialog))
        return false;
    press(VK_ESCAPE);
    return true;
}

struct LifecycleExitJourney : Journey, ::testing::WithParamInterface<ExitCase> {};

TEST_P(LifecycleExitJourney, AsksFirstThenSavesAndEnds)
{
    const ExitCase &c = GetParam();
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    RECT rect = windowRect(window);
    std::string settings = dataFile("Vombly.cfg");
    ASSERT_TRUE(makeOlder(settings));
    unsigned long long written = fileWriteTime(settings);

    ASSERT_TRUE(chooseMenu(window, "File", "Exit"));
    MessageBoxSeen box = messageBox("Vombly - Quit", UiTimeoutMs, vombly.pid);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("You are about close and exit this application\n\nChoose Quit to proceed and exit",
              windowText(GetDlgItem(box.window, IDC_EXIT_TEXT)));
    ASSERT_TRUE(waitUntilIdle(box.window));
    ASSERT_TRUE(c.answer(box.window));

    if (c.quits) {
        EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));
        EXPECT_NE(written, fileWriteTime(settings));
        // Explorer drops the icon once it has handled the program's request.
        EXPECT_TRUE(waitFor([] { return trayIconCount(MainTitle) == 0; }, UiTimeoutMs));
    } else {
        ASSERT_TRUE(waitFor([&] { return !IsWindow(box.window); }, UiTimeoutMs));
        ASSERT_TRUE(waitUntilIdle(window));
        EXPECT_TRUE(isRunning(vombly));
        EXPECT_TRUE(shownNormally(window));
        EXPECT_TRUE(sameRect(rect, windowRect(window))) << describe(windowRect(window));
        EXPECT_EQ(written, fileWriteTime(settings));
        EXPECT_EQ(1, trayIconCount(MainTitle));
    }
}

const ExitCase exitCases[] = {
    {"CancelButton", clickCancel, false},
    {"Escape", pressEscape, false},
    {"QuitButton", clickQuit, true},
    {"Enter", pressEnter, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, LifecycleExitJourney, ::testing::ValuesIn(exitCases),
                         [](const ::testing::TestParamInfo<ExitCase> &info) { return std::string(info.param.name); });

// ---- Ended by another program -------------------------------------------------

// An installer or uninstaller ends a running copy without asking anyone:
// it sends the main window WM_DESTROY, as Quit in the Exit dialog does. The
// copy saves its settings (here a selection it had not saved yet), takes
// its tray icon away and ends, also while one of its dialogs is open.
struct EndedCase {
    const char *name;
    bool aboutOpen;
};

struct LifecycleEndedJourney : Journey, ::testing::WithParamInterface<EndedCase> {};

TEST_P(LifecycleEndedJourney, WmDestroyFromAnotherProgramSavesAndEnds)
{
    const EndedCase &c = GetParam();
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(waitFor([] { return trayIconCount(MainTitle) == 1; }, UiTimeoutMs));
    SettingsRecord before = {};
    ASSERT_TRUE(readUsersSettings(&before));
    ASSERT_NE(2, before.lists[0].listSelection);
    DWORD_PTR result = 0;
    ASSERT_TRUE(sendTimeout(GetDlgItem(window, IDC_LISTBOX), LB_SETCURSEL, 2, 0, &result));
    if (c.aboutOpen) {
        ASSERT_TRUE(chooseMenu(window, "Info", "About Vombly"));
        ASSERT_TRUE(waitFor([&] { return findVisibleWindow("About Vombly", "#32770", vombly.pid) != NULL; },
                            UiTimeoutMs));
    }

    EXPECT_TRUE(sendTimeout(window, WM_DESTROY, 0, 0, &result, 5000));
    EXPECT_EQ(0u, waitForExit(vombly, ExitTimeoutMs));
    SettingsRecord after = {};
    ASSERT_TRUE(readUsersSettings(&after));
    EXPECT_EQ(2, after.lists[0].listSelection);
    EXPECT_TRUE(waitFor([] { return trayIconCount(MainTitle) == 0; }, UiTimeoutMs));
}

const EndedCase endedCases[] = {
    {"Idle", false},
    {"AboutOpen", true},
};

INSTANTIATE_TEST_SUITE_P(Cases, LifecycleEndedJourney, ::testing::ValuesIn(endedCases),
                         [](const ::testing::TestParamInfo<EndedCase> &info) { return std::string(info.param.name); });

// ---- Dragging the frame ---------------------------------------------------------

struct DragCase {
    const char *name;
    LRESULT area; // where the drag starts
    bool moves;   // the window moves with the pointer
};

struct LifecycleDragJourney : Journey, ::testing::WithParamInterface<DragCase> {};

TEST_P(LifecycleDragJourney, TheSizeStaysFixed)
{
    const DragCase &c = GetParam();
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(bringToFront(window));
    POINT from;
    ASSERT_TRUE(pointOfArea(window, c.area, &from));

    const int dx = 100, dy = 80;
    ASSERT_TRUE(drag(from, {from.x + dx, from.y + dy}));
    ASSERT_TRUE(waitUntilIdle(window));
    RECT expected = NormalRect;
    if (c.moves)
        OffsetRect(&expected, dx, dy);
    // The caption drag shows the pointer really moved the window.
    EXPECT_TRUE(waitFor([&] { return sameRect(expected, windowRect(window)); }, UiTimeoutMs))
        << describe(windowRect(window));
}

const DragCase dragCases[] = {
    {"RightBorder", HTRIGHT, false},
    {"BottomRightCorner", HTBOTTOMRIGHT, false},
    {"Caption", HTCAPTION, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, LifecycleDragJourney, ::testing::ValuesIn(dragCases),
                         [](const ::testing::TestParamInfo<DragCase> &info) { return std::string(info.param.name); });

// ---- About --------------------------------------------------------------------------

struct AboutCase {
    const char *name;
    bool (*close)(HWND dialog);
};

bool clickOk(HWND dialog)
{
    return clickControl(dialog, IDOK);
}

struct LifecycleAboutJourney : Journey, ::testing::WithParamInterface<AboutCase> {};

TEST_P(LifecycleAboutJourney, ShowsTheVersionCentredAndClosesOnlyWithOk)
{
    VomblyProcess vombly = startVombly("/SM");
    HWND window = waitForMainWindow(vombly);
    ASSERT_NE(nullptr, window);

    ASSERT_TRUE(chooseMenu(window, "Info", "About Vombly"));
    HWND about = NULL;
    ASSERT_TRUE(waitFor([&] { return (about = findVisibleWindow("About Vombly", "#32770", vombly.pid)) != NULL; },
                        UiTimeoutMs));
    ASSERT_TRUE(waitUntilIdle(about));
    EXPECT_EQ("Vombly V2.11\n\nCopyright (C) 2026 Vombly Software\nAll rights reserved.\n\n"
              "Available from www.vombly.com",
              windowText(GetDlgItem(about, IDC_ABOUT_TEXT)));
    POINT middle = centre(windowRect(about)), mainMiddle = centre(windowRect(window));
    EXPECT_LE(abs(middle.x - mainMiddle.x), 1) << describe(windowRect(about));
    EXPECT_LE(abs(middle.y - mainMiddle.y), 1) << describe(windowRect(about));

    ASSERT_TRUE(pressEscape(about));
    ASSERT_TRUE(waitUntilIdle(about));
    EXPECT_TRUE(IsWindowVisible(about));

    ASSERT_TRUE(GetParam().close(about));
    EXPECT_TRUE(waitFor([&] { return !IsWindow(about); }, UiTimeoutMs));
    ASSERT_TRUE(waitUntilIdle(window));
    EXPECT_TRUE(isRunning(vombly));
    EXPECT_TRUE(shownNormally(window));
}

const AboutCase aboutCases[] = {
    {"Enter", pressEnter},
    {"OkButton", clickOk},
};

INSTANTIATE_TEST_SUITE_P(Cases, LifecycleAboutJourney, ::testing::ValuesIn(aboutCases),
                         [](const ::testing::TestParamInfo<AboutCase> &info) { return std::string(info.param.name); });

} // namespace
