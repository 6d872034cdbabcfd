/* The floor a Win32 program of this kind cannot go below: a window class,
 * one 590x450 window with a child list box and a message loop. Given a
 * text file (one entry a line) it also reads it whole with fread and adds
 * each line with LB_ADDSTRING, the naive way to fill a list.
 *
 *   minimal.exe                 the window and the empty list box
 *   minimal.exe [sort] FILE     the same, filled from FILE (sorted list box) */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void FillFromFile(HWND listBox, const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file == NULL)
        return;
    fseek(file, 0, SEEK_END);
    long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    char *bytes = (char *)malloc((size_t)size + 1);
    if (bytes != NULL && fread(bytes, 1, (size_t)size, file) == (size_t)size) {
        bytes[size] = '\0';
        char *line = bytes;
        while (*line != '\0') {
            char *end = strchr(line, '\n');
            if (end != NULL)
                *end = '\0';
            SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)line);
            if (end == NULL)
                break;
            line = end + 1;
        }
    }
    free(bytes);
    fclose(file);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)previous;
    int sorted = strncmp(commandLine, "sort ", 5) == 0;
    const char *path = sorted ? commandLine + 5 : commandLine;

    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = MinimalProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "BenchMinimal";
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, "BenchMinimal", "minimal", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 590, 450, NULL, NULL, instance, NULL);
    if (window == NULL)
        return 1;
    HWND listBox = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY |
                                       LBS_NOINTEGRALHEIGHT | (sorted ? LBS_SORT : 0),
                                   40, 40, 500, 240, window, (HMENU)1, instance, NULL);
    if (*path != '\0')
        FillFromFile(listBox, path);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
