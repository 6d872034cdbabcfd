// The dialogs: placement over the main window, the About and Exit boxes'
// texts and answers, and the structure of every dialog template.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

#include "system/string_cache.h"
#include "system/window_slots.h"
#include "dialogs/about_exit.h"
#include "dialogs/common.h"
#include "res/resource.h"
#include "tests/win/main_window_util.h"

static HWND makePopup(int x, int y, int width, int height)
{
    return CreateWindowExA(0, "STATIC", "popup", WS_POPUP, x, y, width, height, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

TEST(CentreDialog, CentresOnTheMainWindowWithoutClamping)
{
    struct Case {
        const char *label;
        RECT main;  // left, top, width, height
        int dialogWidth, dialogHeight;
        int expectedLeft, expectedTop;
    } cases[] = {
        {"smaller dialog", {100, 50, 590, 450}, 200, 100, 295, 225},
        {"odd difference truncates", {100, 50, 590, 450}, 201, 101, 294, 224},
        {"5 px wider: -2, not -3", {100, 50, 590, 450}, 595, 455, 98, 48},
        {"same size", {10, 20, 300, 200}, 300, 200, 10, 20},
        {"main partly off screen", {-300, -40, 590, 450}, 200, 100, -105, 135},
        {"main beyond the right edge", {900, 700, 590, 450}, 190, 90, 1100, 880},
    };
    HWND main = makePopup(0, 0, 10, 10);
    HWND dialog = makePopup(0, 0, 10, 10);
    ASSERT_NE(nullptr, main);
    ASSERT_NE(nullptr, dialog);
    WindowSlot(1, MainWindowSlot, main);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        MoveWindow(main, c.main.left, c.main.top, c.main.right, c.main.bottom, FALSE);
        MoveWindow(dialog, 7, 9, c.dialogWidth, c.dialogHeight, FALSE);
        CentreDialogOnMainWindow(dialog);
        RECT rect;
        GetWindowRect(dialog, &rect);
        EXPECT_EQ(c.expectedLeft, rect.left);
        EXPECT_EQ(c.expectedTop, rect.top);
        EXPECT_EQ(c.dialogWidth, rect.right - rect.left);
        EXPECT_EQ(c.dialogHeight, rect.bottom - rect.top);
    }
    WindowSlot(1, MainWindowSlot, NULL);
    DestroyWindow(dialog);
    DestroyWindow(main);
}

static std::string expectedAboutText(void)
{
    return std::string("Vombly V2.11\n\n") + GetString(IDS_RIGHTS_HOLDER) + "\n" + GetString(IDS_RIGHTS_RESERVED) +
           "\n\n" + GetString(IDS_AVAILABILITY);
}

struct AboutTextTest : ProgramFixture {};

TEST_F(AboutTextTest, NameVersionNoticeRightsAndAvailability)
{
    char text[AboutTextSize];
    memset(text, 'x', sizeof text);
    FormatAboutText(text, sizeof text);
    EXPECT_EQ(expectedAboutText(), text);
    EXPECT_LE(strlen(text), 127u);

    // A short buffer gets the start of the text, still terminated.
    char shortText[10];
    FormatAboutText(shortText, sizeof shortText);
    EXPECT_STREQ("Vombly V2", shortText);
}

// The template as created, before any dialog procedure changes it.
static INT_PTR CALLBACK BareDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

struct ControlShape {
    int id;
    const char *className;
    DWORD typeMask, type;  // BS_TYPEMASK or SS_TYPEMASK and the kind
    DWORD required;        // style bits that must be set
    bool bordered = false; // WS_BORDER, which the system may turn into a client edge
};

struct TemplateShape {
    const char *name;
    std::vector<ControlShape> controls;  // in creation (Z and Tab) order
};

TEST(DialogTemplates, ControlsInTabOrderWithTheirClassesAndStyles)
{
    const DWORD tab = WS_TABSTOP | WS_CHILD | WS_VISIBLE;
    const DWORD shown = WS_CHILD | WS_VISIBLE;
    const DWORD label = WS_GROUP | WS_CHILD | WS_VISIBLE;
    const DWORD checkBox = BS_LEFTTEXT | BS_LEFT | tab;
    const ControlShape defaultButton = {IDOK, "Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, tab};
    const ControlShape cancelButton = {IDCANCEL, "Button", BS_TYPEMASK, BS_PUSHBUTTON, tab};
    const ControlShape icon = {IDC_STATIC_ICON, "Static", SS_TYPEMASK, SS_ICON, shown};
    const TemplateShape templates[] = {
        {"ABOUTBOX", {defaultButton, icon, {IDC_ABOUT_TEXT, "Static", SS_TYPEMASK, SS_CENTER, label}}},
        {"EXITBOX", {defaultButton, cancelButton, icon, {IDC_EXIT_TEXT, "Static", SS_TYPEMASK, SS_CENTER, label}}},
        {"ADDBOX",
         {defaultButton, cancelButton, icon, {IDC_ADD_LABEL, "Static", SS_TYPEMASK, SS_LEFT, label},
          {IDC_ADD_EDIT, "Edit", 0, 0, ES_AUTOHSCROLL | tab, true}}},
        {"REMOVEBOX",
         {defaultButton, cancelButton, icon, {IDC_REMOVE_LABEL, "Static", SS_TYPEMASK, SS_LEFT, label},
          {IDC_REMOVE_LIST, "ListBox", 0, 0, LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_NOSEL | tab, true}}},
        {"SETTINGSBOX",
         {defaultButton, icon, {IDC_MINIMISE_CHECK, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX, checkBox}, cancelButton,
          {IDC_NAME1_EDIT, "Edit", 0, 0, ES_AUTOHSCROLL | tab, true},
          {IDC_NAME2_EDIT, "Edit", 0, 0, ES_AUTOHSCROLL | tab, true},
          {IDC_NAME3_EDIT, "Edit", 0, 0, ES_AUTOHSCROLL | tab, true},
          {IDC_NAME2_LABEL, "Static", SS_TYPEMASK, SS_LEFT, label},
          {IDC_NAME3_LABEL, "Static", SS_TYPEMASK, SS_LEFT, label},
          {IDC_NAME1_LABEL, "Static", SS_TYPEMASK, SS_LEFT, label},
          {IDC_SORT_CHECK, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX, checkBox}}},
    };
    for (const auto &shape : templates) {
        SCOPED_TRACE(shape.name);
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), shape.name, NULL, BareDlgProc, 0);
        ASSERT_NE(nullptr, dialog);
        // A modal frame with a caption and no system menu (no close box).
        DWORD style = (DWORD)GetWindowLongA(dialog, GWL_STYLE);
        EXPECT_EQ(0u, style & WS_SYSMENU);
        EXPECT_EQ((DWORD)WS_CAPTION, style & WS_CAPTION);
        EXPECT_EQ((DWORD)WS_POPUP, style & WS_POPUP);
        EXPECT_EQ((DWORD)WS_EX_DLGMODALFRAME, (DWORD)GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

        HWND child = GetWindow(dialog, GW_CHILD);
        for (size_t i = 0; i < shape.controls.size(); i++) {
            const ControlShape &want = shape.controls[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " id " << want.id);
            ASSERT_NE(nullptr, child);
            EXPECT_EQ((WORD)want.id, (WORD)GetDlgCtrlID(child));
            char className[32];
            GetClassNameA(child, className, ARRAYSIZE(className));
            EXPECT_EQ(0, lstrcmpiA(want.className, className)) << className;
            DWORD childStyle = (DWORD)GetWindowLongA(child, GWL_STYLE);
            EXPECT_EQ(want.type, childStyle & want.typeMask) << std::hex << childStyle;
            EXPECT_EQ(want.required, childStyle & want.required) << std::hex << childStyle;
            if (want.bordered) {
                DWORD exStyle = (DWORD)GetWindowLongA(child, GWL_EXSTYLE);
                EXPECT_TRUE((childStyle & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE)) << std::hex << childStyle;
            }
            // The icon static found its icon in the program's resources.
            if (want.id == IDC_STATIC_ICON) {
                EXPECT_NE(0, SendMessageA(child, STM_GETICON, 0, 0));
            }
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(nullptr, child) << "more controls than expected";
        DestroyWindow(dialog);
    }
}

struct DialogTest : MainWindowFixture {
    // Expects `dialog` to be centred on the main window.
    void expectCentred(const RECT &dialog)
    {
        RECT main;
        GetWindowRect(window, &main);
        int width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
        EXPECT_EQ(main.left + (main.right - main.left - width) / 2, dialog.left);
        EXPECT_EQ(main.top + (main.bottom - main.top - height) / 2, dialog.top);
    }
};

TEST_F(DialogTest, AboutBoxShowsCaptionAndTextCentred)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), "ABOUTBOX", window, AboutDlgProc, 0);
    ASSERT_NE(nullptr, dialog);
    char text[256];
    GetWindowTextA(dialog, text, ARRAYSIZE(text));
    EXPECT_STREQ("About Vombly", text);
    GetDlgItemTextA(dialog, IDC_ABOUT_TEXT, text, ARRAYSIZE(text));
    EXPECT_EQ(expectedAboutText(), text);
    RECT rect;
    GetWindowRect(dialog, &rect);
    expectCentred(rect);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, ExitBoxShowsCaptionAndTwoParagraphsCentred)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), "EXITBOX", window, ExitDlgProc, 0);
    ASSERT_NE(nullptr, dialog);
    char text[256];
    GetWindowTextA(dialog, text, ARRAYSIZE(text));
    EXPECT_STREQ("Vombly - Quit", text);
    GetDlgItemTextA(dialog, IDC_EXIT_TEXT, text, ARRAYSIZE(text));
    EXPECT_STREQ(GetString(IDS_EXIT_TEXT), text);
    EXPECT_NE(nullptr, strstr(text, "application\n\nChoose"));
    EXPECT_EQ(nullptr, strchr(text, '\r'));
    RECT rect;
    GetWindowRect(dialog, &rect);
    expectCentred(rect);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, ModalAnswersOfAboutAndExit)
{
    ASSERT_NO_FATAL_FAILURE(openMainWindow());
    struct Case {
        const char *name;
        DLGPROC procedure;
        std::vector<WORD> commands;
        std::vector<bool> openAfter;  // still open after each command
        INT_PTR result;
    } cases[] = {
        {"EXITBOX", ExitDlgProc, {IDOK}, {false}, 1},
        {"EXITBOX", ExitDlgProc, {IDCANCEL}, {false}, 0},
        {"ABOUTBOX", AboutDlgProc, {IDOK}, {false}, 0},
        // Esc does not close the About box; OK does.
        {"ABOUTBOX", AboutDlgProc, {IDCANCEL, IDOK}, {true, false}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " answered " << c.commands.back());
        DialogDriver driver;
        ASSERT_NO_FATAL_FAILURE(startDialogDriver(&driver, c.commands.data(), (int)c.commands.size(), 500));
        INT_PTR result = DialogBoxParamA(GetModuleHandleA(NULL), c.name, window, c.procedure, 0);
        finishDialogDriver(&driver);
        ASSERT_NE(nullptr, driver.dialog) << "no dialog was shown";
        EXPECT_FALSE(driver.gaveUp);
        EXPECT_EQ(c.result, result);
        for (size_t i = 0; i < c.commands.size(); i++)
            EXPECT_EQ(c.openAfter[i], driver.openAfter[i]) << "after command " << i;
        // Button 1 has the first focus.
        EXPECT_EQ(IDOK, driver.focusIdAtOpen);
        expectCentred(driver.rectAtOpen);
        EXPECT_TRUE(IsWindowEnabled(window));
    }
}
