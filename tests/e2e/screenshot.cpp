// Screenshots of the whole virtual desktop as PNG files, written without
// any image library: stored (uncompressed) deflate blocks are a valid zlib
// stream, so only the two checksums need computing.
#include <stdio.h>
#include <string.h>

#include "harness.h"

#ifndef VOMBLY_E2E_SHOTS_DIR
#error "VOMBLY_E2E_SHOTS_DIR must name the folder for failure screenshots"
#endif

static unsigned long crc32(const unsigned char *bytes, size_t length, unsigned long crc = 0)
{
    static unsigned long table[256];
    if (table[1] == 0) {
        for (unsigned long n = 0; n < 256; n++) {
            unsigned long c = n;
            for (int k = 0; k < 8; k++)
                c = (c & 1) ? 0xEDB88320UL ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    crc ^= 0xFFFFFFFFUL;
    for (size_t i = 0; i < length; i++)
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFUL;
}

static unsigned long adler32(const unsigned char *bytes, size_t length)
{
    unsigned long a = 1, b = 0;
    for (size_t i = 0; i < length; i++) {
        a = (a + bytes[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

static void putBigEndian(std::vector<unsigned char> &out, unsigned long value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((unsigned char)(value >> shift));
}

static void putChunk(std::vector<unsigned char> &out, const char type[4], const std::vector<unsigned char> &data)
{
    putBigEndian(out, (unsigned long)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // The chunk's check covers its type and data, not its length.
    putBigEndian(out, crc32(out.data() + start, out.size() - start));
}

// rgb: `height` rows of 3 * `width` bytes, top row first.
static std::vector<unsigned char> encodePng(const unsigned char *rgb, int width, int height)
{
    // Every row starts with filter type 0 (none).
    std::vector<unsigned char> raw;
    size_t rowBytes = (size_t)width * 3;
    raw.reserve((rowBytes + 1) * (size_t)height);
    for (int y = 0; y < height; y++) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb + (size_t)y * rowBytes, rgb + (size_t)(y + 1) * rowBytes);
    }

    std::vector<unsigned char> zlib = {0x78, 0x01};
    size_t offset = 0;
    do {
        size_t length = raw.size() - offset < 65535 ? raw.size() - offset : 65535;
        bool last = offset + length == raw.size();
        zlib.push_back(last ? 1 : 0); // BFINAL, BTYPE 00: stored
        zlib.push_back((unsigned char)(length & 0xFF));
        zlib.push_back((unsigned char)(length >> 8));
        zlib.push_back((unsigned char)(~length & 0xFF));
        zlib.push_back((unsigned char)((~length >> 8) & 0xFF));
        zlib.insert(zlib.end(), raw.begin() + (long)offset, raw.begin() + (long)(offset + length));
        offset += length;
    } while (offset < raw.size());
    putBigEndian(zlib, adler32(raw.data(), raw.size()));

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    putBigEndian(header, (unsigned long)width);
    putBigEndian(header, (unsigned long)height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", {});
    return png;
}

static void makeFolders(const std::string &path)
{
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), NULL);
    CreateDirectoryA(path.c_str(), NULL);
}

std::vector<uint32_t> capturePixels(const RECT &rect)
{
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<uint32_t> pixels;
    if (width <= 0 || height <= 0)
        return pixels;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (memory != NULL && bitmap != NULL) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
            GdiFlush();
            const DWORD *bgrx = (const DWORD *)bits;
            pixels.resize((size_t)width * height);
            // The top byte is no colour and may hold anything.
            for (size_t i = 0; i < pixels.size(); i++)
                pixels[i] = bgrx[i] & 0xFFFFFF;
        }
        SelectObject(memory, old);
    }
    if (bitmap != NULL)
        DeleteObject(bitmap);
    if (memory != NULL)
        DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

bool saveScreenPng(const RECT &rect, const std::string &path)
{
    std::vector<uint32_t> pixels = capturePixels(rect);
    if (pixels.empty())
        return false;
    std::vector<unsigned char> rgb(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); i++) {
        rgb[i * 3] = (unsigned char)(pixels[i] >> 16);
        rgb[i * 3 + 1] = (unsigned char)(pixels[i] >> 8);
        rgb[i * 3 + 2] = (unsigned char)pixels[i];
    }
    return saveFileBytes(path, encodePng(rgb.data(), rect.right - rect.left, rect.bottom - rect.top));
}

std::string saveScreenshot(const char *name)
{
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT desktop = {left, top, left + width, top + height};

    std::string folder = windowsPath(VOMBLY_E2E_SHOTS_DIR);
    makeFolders(folder);
    // Test names carry '/' for parameterised cases.
    char fileName[256];
    snprintf(fileName, ARRAYSIZE(fileName), "%s.png", name);
    for (char *c = fileName; *c != '\0'; c++) {
        if (strchr("/\\:*?\"<>|", *c) != NULL)
            *c = '_';
    }
    std::string path = folder + "\\" + fileName;
    if (!saveScreenPng(desktop, path))
        return "";
    return path;
}
