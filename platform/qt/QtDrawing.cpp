#include "platform/qt/QtDrawing.h"

#include <QtCore/QFile>
#include <QtCore/QString>

#include "platform/Messages.h"

namespace quotamin {

namespace {

constexpr int kIconPixels = 32;

QString ResourcePath(const char* kind, int resourceId) {
    return QStringLiteral(":/quotamin/%1/%2").arg(QLatin1String(kind)).arg(resourceId);
}

}  // namespace

BitmapHandle QtDrawing::LoadBitmap(int resourceId) {
    QImage image(ResourcePath("bitmap", resourceId));
    if (image.isNull()) {
        return BitmapHandle{};
    }
    const auto handle = static_cast<BitmapHandle>(NewHandle());
    m_bitmaps.emplace(handle, image.convertToFormat(QImage::Format_RGB32));
    return handle;
}

bool QtDrawing::GetObject(BitmapHandle bitmap, BitmapInfo& info) const {
    auto found = m_bitmaps.find(bitmap);
    if (found == m_bitmaps.end()) {
        return false;
    }
    info.bmWidth = found->second.width();
    info.bmHeight = found->second.height();
    return true;
}

bool QtDrawing::DeleteObject(BitmapHandle bitmap) {
    for (auto& [dc, context] : m_contexts) {
        if (context.selected == bitmap) {
            return false;  // Windows keeps a bitmap that is still selected.
        }
    }
    return m_bitmaps.erase(bitmap) == 1;
}

IconHandle QtDrawing::LoadIcon(int resourceId) {
    if (auto known = m_iconsById.find(resourceId); known != m_iconsById.end()) {
        return known->second;
    }
    const QString path = ResourcePath("icon", resourceId);
    if (!QFile::exists(path)) {
        return IconHandle{};
    }
    QIcon icon(path);
    if (icon.availableSizes().isEmpty()) {
        return IconHandle{};
    }
    const auto handle = static_cast<IconHandle>(NewHandle());
    m_icons.emplace(handle, icon);
    m_iconsById.emplace(resourceId, handle);
    return handle;
}

QIcon QtDrawing::Icon(IconHandle icon) const {
    auto found = m_icons.find(icon);
    return found == m_icons.end() ? QIcon() : found->second;
}

DcHandle QtDrawing::WindowContext(QPainter& painter) {
    const auto handle = static_cast<DcHandle>(NewHandle());
    m_contexts[handle].painter = &painter;
    return handle;
}

void QtDrawing::Release(DcHandle dc) {
    auto found = m_contexts.find(dc);
    if (found != m_contexts.end() && found->second.painter != nullptr) {
        m_contexts.erase(found);
    }
}

DcHandle QtDrawing::CreateCompatibleDC(DcHandle) {
    const auto handle = static_cast<DcHandle>(NewHandle());
    m_contexts[handle];
    return handle;
}

bool QtDrawing::DeleteDC(DcHandle dc) {
    auto found = m_contexts.find(dc);
    if (found == m_contexts.end() || found->second.painter != nullptr) {
        return false;
    }
    m_contexts.erase(found);
    return true;
}

BitmapHandle QtDrawing::SelectObject(DcHandle dc, BitmapHandle bitmap) {
    auto found = m_contexts.find(dc);
    if (found == m_contexts.end() || found->second.painter != nullptr ||
        (bitmap != BitmapHandle{} && m_bitmaps.count(bitmap) == 0)) {
        return BitmapHandle{};
    }
    return std::exchange(found->second.selected, bitmap);
}

const QImage* QtDrawing::SelectedImage(DcHandle dc) const {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end()) {
        return nullptr;
    }
    auto bitmap = m_bitmaps.find(context->second.selected);
    return bitmap == m_bitmaps.end() ? nullptr : &bitmap->second;
}

bool QtDrawing::Paint(DcHandle dc, const std::function<void(QPainter&)>& draw) {
    auto context = m_contexts.find(dc);
    if (context == m_contexts.end()) {
        return false;
    }
    if (QPainter* painter = context->second.painter) {
        painter->save();
        draw(*painter);
        painter->restore();
        return true;
    }
    auto bitmap = m_bitmaps.find(context->second.selected);
    if (bitmap == m_bitmaps.end()) {
        return false;
    }
    QPainter painter(&bitmap->second);
    draw(painter);
    return true;
}

bool QtDrawing::Draw(DcHandle dc, int x, int y, const QImage& image,
                     QPainter::CompositionMode mode) {
    return Paint(dc, [&](QPainter& painter) {
        painter.setCompositionMode(mode);
        painter.drawImage(x, y, image);
    });
}

bool QtDrawing::BitBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx, int sy,
                       std::uint32_t rop) {
    const QImage* from = SelectedImage(source);
    if (from == nullptr || rop != SRCCOPY) {
        return false;
    }
    const QRect taken = QRect(sx, sy, cx, cy).intersected(from->rect());
    if (taken.isEmpty()) {
        return true;
    }
    // A copy of the part, since drawing a bitmap onto itself would read what it writes.
    return Draw(dest, x + taken.x() - sx, y + taken.y() - sy, from->copy(taken),
                QPainter::CompositionMode_Source);
}

bool QtDrawing::StretchBlt(DcHandle dest, int x, int y, int cx, int cy, DcHandle source, int sx,
                           int sy, int scx, int scy, std::uint32_t rop) {
    const QImage* from = SelectedImage(source);
    if (from == nullptr || rop != SRCCOPY || cx <= 0 || cy <= 0 || scx <= 0 || scy <= 0) {
        return false;
    }
    QImage stretched(cx, cy, QImage::Format_ARGB32);
    stretched.fill(Qt::transparent);
    for (int j = 0; j < cy; ++j) {
        const auto row = static_cast<int>(sy + static_cast<std::int64_t>(j) * scy / cy);
        if (row < 0 || row >= from->height()) {
            continue;
        }
        for (int i = 0; i < cx; ++i) {
            const auto column = static_cast<int>(sx + static_cast<std::int64_t>(i) * scx / cx);
            if (column >= 0 && column < from->width()) {
                stretched.setPixel(i, j, from->pixel(column, row) | 0xFF000000u);
            }
        }
    }
    return Draw(dest, x, y, stretched, QPainter::CompositionMode_SourceOver);
}

bool QtDrawing::DrawIcon(DcHandle dc, int x, int y, IconHandle icon) {
    auto found = m_icons.find(icon);
    if (found == m_icons.end()) {
        return false;
    }
    const QImage image = found->second.pixmap(QSize(kIconPixels, kIconPixels), 1.0)
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    return Draw(dc, x, y, image, QPainter::CompositionMode_SourceOver);
}

bool QtDrawing::Fill(DcHandle dc, const Rect& area, const QColor& colour) {
    return Paint(dc, [&](QPainter& painter) {
        painter.fillRect(QRect(area.left, area.top, area.Width(), area.Height()), colour);
    });
}

}  // namespace quotamin
