// What the main window paints: the etched outer frame, the logo in its own
// frame, and the active list's name above the list box, read back as pixels.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <set>
#include <vector>

#include "system/window_slots.h"
#include "res/resource.h"
#include "store/settings.h"
#include "tests/win/draw_image.h"
#include "tests/win/main_window_util.h"
#include "view/paint.h"

static DWORD rgbOf(COLORREF colour)
{
    return ((DWORD)GetRValue(colour) << 16) | ((DWORD)GetGValue(colour) << 8) | GetBValue(colour);
}

static DWORD sysRgb(int index)
{
    return rgbOf(GetSysColor(index));
}

static void saveBitmap(const Image &image, const char *path)
{
    FILE *file = fopen(path, "wb");
    if (file == NULL)
        return;
    BITMAPINFO info = topDownInfo(image.width, image.height);
    DWORD dataSize = (DWORD)(image.pixels.size() * sizeof(DWORD));
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + dataSize;
    fwrite(&header, sizeof header, 1, file);
    fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file);
    fwrite(image.pixels.data(), dataSize, 1, file);
    fclose(file);
}

// Line height of ANSI_VAR_FONT, as the paint handler's DC measures it.
static int labelLineHeight(void)
{
    TEXTMETRICA metrics = {};
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

// The band between the outer frame and the list box, where the label goes.
static const RECT LabelBand = {13, 9, 326, 31};

static bool bandsEqual(const Image &a, const Image &b)
{
    for (int y = LabelBand.top; y < LabelBand.bottom; y++)
        for (int x = LabelBand.left; x < LabelBand.right; x++)
            if (a.at(x, y) != b.at(x, y))
                return false;
    return true;
}

static int inkInBand(const Image &image, DWORD background)
{
    int ink = 0;
    for (int y = LabelBand.top; y < LabelBand.bottom; y++)
        for (int x = LabelBand.left; x < LabelBand.right; x++)
            ink += image.at(x, y) != background;
    return ink;
}

// The label as it should look: the name's cell ending at the list box's
// top edge (y 31) and starting at its left edge (x 28).
static Image expectedLabel(int width, int height, const char *text)
{
    return drawImage(width, height, [text](HDC dc) {
        RECT all = {0, 0, 4096, 4096};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        TextOutA(dc, 28, 31 - labelLineHeight(), text, (int)strlen(text));
    });
}

struct PaintTest : MainWindowFixture {
    Image image;
    void openAndCapture(void)
    {
        ASSERT_NO_FATAL_FAILURE(openMainWindow());
        // The positions below are those of Windows' default client size.
        ASSERT_NO_FATAL_FAILURE(resizeClient(574, 392));
        image = captureClient(window);
        ASSERT_EQ(574, image.width);
    }
};

TEST_F(PaintTest, LogoIsTheBitmapPixelForPixel)
{
    ASSERT_NO_FATAL_FAILURE(openAndCapture());
    char path[MAX_PATH];
    char temp[MAX_PATH];
    GetTempPathA(ARRAYSIZE(temp), temp);
    // Kept for a look when a paint check fails; each run overwrites it.
    snprintf(path, sizeof path, "%svombly-main-window.bmp", temp);
    saveBitmap(image, path);

    HBITMAP logo = (HBITMAP)LoadImageA(GetModuleHandleA(NULL), "MAIN_LOGO", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    ASSERT_NE(nullptr, logo);
    BITMAP shape = {};
    GetObjectA(logo, sizeof shape, &shape);
    ASSERT_EQ(LogoWidth, shape.bmWidth);
    ASSERT_EQ(LogoHeight, shape.bmHeight);
    std::vector<DWORD> expected((size_t)LogoWidth * LogoHeight);
    BITMAPINFO info = topDownInfo(LogoWidth, LogoHeight);
    HDC screen = GetDC(NULL);
    int rows = GetDIBits(screen, logo, 0, LogoHeight, expected.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    DeleteObject(logo);
    ASSERT_EQ(LogoHeight, rows);

    // The logo's top left corner is 60% across and 8% down: (344, 31).
    int mismatches = 0;
    for (int y = 0; y < LogoHeight; y++) {
        for (int x = 0; x < LogoWidth; x++) {
            DWORD want = expected[(size_t)y * LogoWidth + x] & 0xFFFFFF;
            DWORD got = image.at(344 + x, 31 + y);
            if (want != got && mismatches++ < 5)
                ADD_FAILURE() << "logo pixel (" << x << ", " << y << ") drawn " << std::hex << got << " not "
                              << want;
        }
    }
    EXPECT_EQ(0, mismatches);
}

TEST_F(PaintTest, FramesAreEtchedAroundTheClientAreaAndTheLogo)
{
    ASSERT_NO_FATAL_FAILURE(openAndCapture());
    DWORD face = sysRgb(COLOR_BTNFACE);
    DWORD shadow = sysRgb(COLOR_BTNSHADOW);
    DWORD light = sysRgb(COLOR_BTNHIGHLIGHT);
    ASSERT_NE(face, shadow);
    ASSERT_NE(face, light);

    // An etched edge is a shadow line then a light line on the top and left
    // sides, and a light line outside a shadow line on the bottom and right.
    struct Case {
        const char *frame;
        RECT rect;  // as given to DrawEdge
        int alongX, alongY;  // sample points along the sides
    } cases[] = {
        {"outer", {11, 7, 562, 384}, 200, 200},
        {"outer", {11, 7, 562, 384}, 480, 350},
        {"logo", {342, 29, 547, 294}, 400, 100},
        {"logo", {342, 29, 547, 294}, 500, 250},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.frame << " at " << c.alongX << "," << c.alongY);
        const RECT &r = c.rect;
        int x = c.alongX, y = c.alongY;
        // Top
        EXPECT_EQ(face, image.at(x, r.top - 1));
        EXPECT_EQ(shadow, image.at(x, r.top));
        EXPECT_EQ(light, image.at(x, r.top + 1));
        // Left
        EXPECT_EQ(face, image.at(r.left - 1, y));
        EXPECT_EQ(shadow, image.at(r.left, y));
        EXPECT_EQ(light, image.at(r.left + 1, y));
        // Bottom
        EXPECT_EQ(shadow, image.at(x, r.bottom - 2));
        EXPECT_EQ(light, image.at(x, r.bottom - 1));
        EXPECT_EQ(face, image.at(x, r.bottom));
        // Right
        EXPECT_EQ(shadow, image.at(r.right - 2, y));
        EXPECT_EQ(light, image.at(r.right - 1, y));
        EXPECT_EQ(face, image.at(r.right, y));
    }
    // Between the outer frame and everything inside it lies plain face.
    EXPECT_EQ(face, image.at(13, 9));
    EXPECT_EQ(face, image.at(559, 381));
    // The logo's frame leaves one face-coloured line on its right and bottom.
    EXPECT_EQ(face, image.at(544, 150));
    EXPECT_EQ(face, image.at(450, 291));
}

TEST_F(PaintTest, ActiveListsNameEndsAtTheListBoxTopEdge)
{
    ASSERT_NO_FATAL_FAILURE(openAndCapture());
    DWORD face = sysRgb(COLOR_BTNFACE);
    // The name comes from the settings file read at creation.
    EXPECT_GT(inkInBand(image, face), 0);
    EXPECT_TRUE(bandsEqual(expectedLabel(574, 392, "Home list"), image));

    // Nothing of the label lies left of the list box or above its cell.
    int line = labelLineHeight();
    for (int y = LabelBand.top; y < LabelBand.bottom; y++)
        for (int x = LabelBand.left; x < LabelBand.right; x++)
            if (x < 28 || y < 31 - line) {
                ASSERT_EQ(face, image.at(x, y)) << x << "," << y;
            }
}

TEST_F(PaintTest, LabelShowsTheActiveListsNameOrUnknown)
{
    ASSERT_NO_FATAL_FAILURE(openAndCapture());
    DWORD face = sysRgb(COLOR_BTNFACE);
    struct Case {
        uint32_t activeList;
        const char *names[3];
        const char *shown;  // NULL: nothing drawn
    } cases[] = {
        {1, {"Groceries", "Work", "Misc"}, "Groceries"},
        {2, {"Groceries", "Work", "Misc"}, "Work"},
        {3, {"Groceries", "Work", "Misc"}, "Misc"},
        {1, {"Unknown", "Work", "Misc"}, "Unknown"},
        {0, {"Groceries", "Work", "Misc"}, "Unknown"},
        {7, {"Groceries", "Work", "Misc"}, "Unknown"},
        {2, {"Groceries", "", "Misc"}, NULL},
    };
    std::vector<Image> captures;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "list " << c.activeList << " shows " << (c.shown ? c.shown : "nothing"));
        // The handler reads the record at every paint.
        SetActiveList(c.activeList);
        for (int list = 0; list < 3; list++)
            SetListName(list + 1, c.names[list]);
        Image captured = captureClient(window);
        ASSERT_EQ(574, captured.width);
        if (c.shown == NULL) {
            EXPECT_EQ(0, inkInBand(captured, face));
        } else {
            EXPECT_GT(inkInBand(captured, face), 0);
            EXPECT_TRUE(bandsEqual(expectedLabel(574, 392, c.shown), captured));
        }
        captures.push_back(captured);
    }
    // Different names look different; every "Unknown" looks the same.
    EXPECT_FALSE(bandsEqual(captures[0], captures[1]));
    EXPECT_FALSE(bandsEqual(captures[1], captures[2]));
    EXPECT_FALSE(bandsEqual(captures[0], captures[2]));
    EXPECT_TRUE(bandsEqual(captures[3], captures[4]));
    EXPECT_TRUE(bandsEqual(captures[3], captures[5]));
}

// Stand-ins for the calls that make and free GDI objects: every bitmap
// loaded and memory DC made by the program while they are in place is
// recorded until it is deleted.
extern "C" void *importLoadImageA IMPORT_SLOT(LoadImageA, 24);
extern "C" void *importCreateCompatibleDC IMPORT_SLOT(CreateCompatibleDC, 4);
extern "C" void *importDeleteDC IMPORT_SLOT(DeleteDC, 4);
extern "C" void *importDeleteObject IMPORT_SLOT(DeleteObject, 4);

static struct {
    void *loadImage, *createDc, *deleteDc, *deleteObject;
    std::set<void *> live;
    int made, loads;
} gdi;

static HANDLE WINAPI CountingLoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    HANDLE image = ((decltype(&LoadImageA))gdi.loadImage)(instance, name, type, cx, cy, flags);
    gdi.loads++;
    if (image != NULL) {
        gdi.live.insert(image);
        gdi.made++;
    }
    return image;
}

static HDC WINAPI CountingCreateDc(HDC dc)
{
    HDC made = ((decltype(&CreateCompatibleDC))gdi.createDc)(dc);
    if (made != NULL) {
        gdi.live.insert(made);
        gdi.made++;
    }
    return made;
}

static BOOL WINAPI CountingDeleteDc(HDC dc)
{
    BOOL deleted = ((decltype(&DeleteDC))gdi.deleteDc)(dc);
    if (deleted)
        gdi.live.erase(dc);
    return deleted;
}

static BOOL WINAPI CountingDeleteObject(HGDIOBJ object)
{
    BOOL deleted = ((decltype(&DeleteObject))gdi.deleteObject)(object);
    if (deleted)
        gdi.live.erase(object);
    return deleted;
}

TEST_F(PaintTest, RepaintsGiveBackTheirObjects)
{
    ASSERT_NO_FATAL_FAILURE(openAndCapture());
    gdi.live.clear();
    gdi.made = 0;
    gdi.loads = 0;
    gdi.loadImage = replaceImport(&importLoadImageA, (void *)CountingLoadImage);
    gdi.createDc = replaceImport(&importCreateCompatibleDC, (void *)CountingCreateDc);
    gdi.deleteDc = replaceImport(&importDeleteDC, (void *)CountingDeleteDc);
    gdi.deleteObject = replaceImport(&importDeleteObject, (void *)CountingDeleteObject);
    for (int i = 0; i < 20; i++)
        RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    replaceImport(&importLoadImageA, gdi.loadImage);
    replaceImport(&importCreateCompatibleDC, gdi.createDc);
    replaceImport(&importDeleteDC, gdi.deleteDc);
    replaceImport(&importDeleteObject, gdi.deleteObject);
    ASSERT_NE(nullptr, gdi.loadImage);

    // Each repaint makes a DC to copy the logo from (the stand-ins saw the
    // paint code at work); the logo itself was loaded by the first paint
    // and is not decoded again.
    EXPECT_GE(gdi.made, 2);
    EXPECT_EQ(0, gdi.loads) << "logo loads during the repaints";
    EXPECT_EQ(0u, gdi.live.size()) << "objects the repaints made and never deleted";
    // And the window still paints exactly as at first.
    Image again = captureClient(window);
    EXPECT_TRUE(image.pixels == again.pixels);
}

// The window's own picture drawn into a memory DC is what the screen shows,
// wherever no control covers it.
TEST_F(PaintTest, MainWindowDrawsIntoAMemoryDcAsOnTheScreen)
{
    ASSERT_NO_FATAL_FAILURE(openAndCapture());
    DWORD face = sysRgb(COLOR_BTNFACE);
    Image drawn = drawImage(image.width, image.height, [](HDC dc) {
        RECT all = {0, 0, 4096, 4096};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        PaintMainWindow(GetModuleHandleA(NULL), dc);
    });
    ASSERT_EQ(image.width, drawn.width);

    std::vector<RECT> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(rectInParent(child));
    ASSERT_FALSE(controls.empty());
    int compared = 0, differing = 0;
    for (int y = 0; y < image.height; y++) {
        for (int x = 0; x < image.width; x++) {
            POINT at = {x, y};
            bool covered = false;
            for (const RECT &control : controls)
                covered = covered || PtInRect(&control, at);
            if (covered)
                continue;
            compared++;
            if (drawn.at(x, y) != image.at(x, y) && differing++ == 0)
                ADD_FAILURE() << "first difference at " << x << "," << y;
        }
    }
    EXPECT_EQ(0, differing) << "of " << compared << " pixels";
    // What was compared holds the frames, the logo and the label.
    EXPECT_GT(compared, image.width * image.height / 4);
    EXPECT_GT(inkInBand(drawn, face), 0);
    EXPECT_TRUE(bandsEqual(expectedLabel(image.width, image.height, "Home list"), drawn));
}
