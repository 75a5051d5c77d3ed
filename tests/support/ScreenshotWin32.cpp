#include <vector>

#include "os/Win32Handles.h"
#include "tests/support/Screenshot.h"

namespace quotamin::testing {

namespace {

template <typename T>
void Append(std::string& bytes, const T& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

std::string CaptureScreenBmp(int left, int top, int right, int bottom) {
    const int width = right - left;
    const int height = bottom - top;
    const UniqueWindowDc screen(::GetDC(nullptr));
    const UniqueMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    const UniqueGdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    const HGDIOBJ previous = ::SelectObject(memory.Get(), bitmap.Get());
    ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), left, top, SRCCOPY);
    ::SelectObject(memory.Get(), previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<char> pixels(stride * static_cast<std::size_t>(height));
    ::GetDIBits(memory.Get(), bitmap.Get(), 0, static_cast<UINT>(height), pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = static_cast<DWORD>(header.bfOffBits + pixels.size());
    std::string file;
    Append(file, header);
    Append(file, info);
    file.append(pixels.data(), pixels.size());
    return file;
}

}  // namespace quotamin::testing
