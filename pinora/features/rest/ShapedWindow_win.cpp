#include "ShapedWindow.h"

#include <cstring>
#include <vector>

namespace pinora {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

HRGN RegionWithoutColour(HBITMAP bitmap, COLORREF key) {
    const SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) return nullptr;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size.cy) return nullptr;

    // 32-bit DIB pixels are 0x00RRGGBB.
    const DWORD keyPixel = (static_cast<DWORD>(GetRValue(key)) << 16) | (static_cast<DWORD>(GetGValue(key)) << 8) |
                           GetBValue(key);
    std::vector<RECT> runs;
    for (int y = 0; y < size.cy; ++y) {
        const DWORD* row = &pixels[static_cast<size_t>(y) * static_cast<size_t>(size.cx)];
        int x = 0;
        while (x < size.cx) {
            while (x < size.cx && (row[x] & 0xFFFFFF) == keyPixel) ++x;
            const int start = x;
            while (x < size.cx && (row[x] & 0xFFFFFF) != keyPixel) ++x;
            if (x > start) runs.push_back(RECT{start, y, x, y + 1});
        }
    }

    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(runs.size());
    header->nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    header->rcBound = RECT{0, 0, size.cx, size.cy};
    if (!runs.empty()) std::memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
}

bool RegisterWindowClassOnce(const char* name, WNDPROC proc, UINT style, LPCSTR cursor) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(module, name, &wc)) return true;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

int FontHeightFromTenths(int tenthsOfPoint) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(tenthsOfPoint, GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    return height;
}

}  // namespace pinora
