#include "platform/headless/Raster.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace quotamin {

Raster::Raster() {
    m_stockBitmap = static_cast<BitmapHandle>(NewHandle());
    m_bitmaps[m_stockBitmap] = BitmapObject{0, {1, 1, {0}}};
}

void Raster::Resize(WindowHandle window, int width, int height) {
    Surface& surface = m_windows[window];
    surface.width = std::max(width, 0);
    surface.height = std::max(height, 0);
    surface.pixels.assign(
        static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height),
        kUnpaintedColour);
}

void Raster::Forget(WindowHandle window) {
    m_windows.erase(window);
}

Rect Raster::ClientRect(WindowHandle window) const {
    auto found = m_windows.find(window);
    return found == m_windows.end() ? Rect{}
                                    : Rect{0, 0, found->second.width, found->second.height};
}

std::uint32_t Raster::PixelAt(WindowHandle window, int x, int y) const {
    auto found = m_windows.find(window);
    if (found == m_windows.end() || x < 0 || y < 0 || x >= found->second.width ||
        y >= found->second.height) {
        throw std::logic_error("headless window system: pixel outside the client area");
    }
    const Surface& surface = found->second;
    return surface.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(surface.width) +
                          static_cast<std::size_t>(x)];
}

DcHandle Raster::NewContext(WindowHandle window) {
    const DcHandle dc = static_cast<DcHandle>(NewHandle());
    m_contexts[dc] = Context{window, window == WindowHandle{} ? m_stockBitmap : BitmapHandle{}};
    return dc;
}

DcHandle Raster::WindowContext(WindowHandle window) {
    return NewContext(window);
}

void Raster::Release(DcHandle dc) {
    m_contexts.erase(dc);
}

void Raster::FillBackground(WindowHandle window, DcHandle dc) {
    Surface* surface = SurfaceOf(dc);
    DrawCall call;
    call.kind = DrawCall::FillBackground;
    call.window = window;
    if (surface != nullptr) {
        std::fill(surface->pixels.begin(), surface->pixels.end(), kBackgroundColour);
        call.cx = surface->width;
        call.cy = surface->height;
    }
    m_drawCalls.push_back(call);
}

DcHandle Raster::CreateCompatibleDC(DcHandle dc) {
    if (m_failMemoryContexts || m_contexts.count(dc) == 0) {
        return DcHandle{};
    }
    return NewContext(WindowHandle{});
}

bool Raster::DeleteDC(DcHandle dc) {
    return m_contexts.erase(dc) == 1;
}

BitmapHandle Raster::SelectObject(DcHandle dc, BitmapHandle bitmap) {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end() || m_bitmaps.count(bitmap) == 0) {
        return BitmapHandle{};
    }
    return std::exchange(context->second.selected, bitmap);
}

Raster::Surface* Raster::SurfaceOf(DcHandle dc) {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end()) {
        return nullptr;
    }
    if (context->second.window != WindowHandle{}) {
        auto window = m_windows.find(context->second.window);
        return window == m_windows.end() ? nullptr : &window->second;
    }
    auto bitmap = m_bitmaps.find(context->second.selected);
    return bitmap == m_bitmaps.end() ? nullptr : &bitmap->second.surface;
}

int Raster::SelectedBitmapResource(DcHandle dc) const {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end()) {
        return 0;
    }
    auto bitmap = m_bitmaps.find(context->second.selected);
    return bitmap == m_bitmaps.end() ? 0 : bitmap->second.resourceId;
}

bool Raster::BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                    std::uint32_t rop) {
    return Copy(dest, x, y, cx, cy, source, sx, sy, cx, cy, rop, DrawCall::BitBlt);
}

bool Raster::StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx,
                        int sy, int scx, int scy, std::uint32_t rop) {
    return Copy(dest, x, y, cx, cy, source, sx, sy, scx, scy, rop, DrawCall::StretchBlt);
}

bool Raster::Copy(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                  int scx, int scy, std::uint32_t rop, DrawCall::Kind kind) {
    Surface* to = SurfaceOf(dest);
    const Surface* from = SurfaceOf(source);
    if (to == nullptr || from == nullptr) {
        return false;
    }
    m_drawCalls.push_back({kind, m_contexts[dest].window, x, y, cx, cy,
                           SelectedBitmapResource(source), sx, sy, scx, scy, rop, IconHandle{}});
    // Pixels outside the source are left as they were on the destination.
    for (int j = 0; j < cy; ++j) {
        const int ty = y + j;
        const int fy = sy + static_cast<int>(static_cast<long long>(j) * scy / cy);
        if (ty < 0 || ty >= to->height || fy < 0 || fy >= from->height) {
            continue;
        }
        for (int i = 0; i < cx; ++i) {
            const int tx = x + i;
            const int fx = sx + static_cast<int>(static_cast<long long>(i) * scx / cx);
            if (tx < 0 || tx >= to->width || fx < 0 || fx >= from->width) {
                continue;
            }
            to->pixels[static_cast<std::size_t>(ty) * static_cast<std::size_t>(to->width) +
                       static_cast<std::size_t>(tx)] =
                from->pixels[static_cast<std::size_t>(fy) * static_cast<std::size_t>(from->width) +
                             static_cast<std::size_t>(fx)];
        }
    }
    return true;
}

bool Raster::DrawIcon(DcHandle dc, int x, int y, IconHandle icon) {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end() || icon == IconHandle{}) {
        return false;
    }
    DrawCall call;
    call.kind = DrawCall::DrawIcon;
    call.window = context->second.window;
    call.x = x;
    call.y = y;
    call.cx = kIconSize;
    call.cy = kIconSize;
    call.icon = icon;
    m_drawCalls.push_back(call);
    return true;
}

BitmapHandle Raster::CreateBitmap(int resourceId, int width, int height) {
    BitmapObject bitmap{resourceId, {width, height, {}}};
    bitmap.surface.pixels.reserve(static_cast<std::size_t>(width) *
                                  static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.surface.pixels.push_back(BitmapPixel(x, y));
        }
    }
    const BitmapHandle handle = static_cast<BitmapHandle>(NewHandle());
    m_bitmaps[handle] = std::move(bitmap);
    return handle;
}

bool Raster::GetObject(BitmapHandle bitmap, BitmapInfo& info) const {
    auto found = m_bitmaps.find(bitmap);
    if (found == m_bitmaps.end()) {
        return false;
    }
    info.bmWidth = found->second.surface.width;
    info.bmHeight = found->second.surface.height;
    return true;
}

bool Raster::DeleteObject(BitmapHandle bitmap) {
    if (bitmap == m_stockBitmap) {
        return false;
    }
    return m_bitmaps.erase(bitmap) == 1;
}

std::size_t Raster::LiveMemoryContexts() const {
    return static_cast<std::size_t>(
        std::count_if(m_contexts.begin(), m_contexts.end(),
                      [](const auto& entry) { return entry.second.window == WindowHandle{}; }));
}

}  // namespace quotamin
