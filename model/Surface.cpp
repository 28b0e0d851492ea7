#include "model/Surface.h"

#include "platform/SafeWrite.h"
#include "platform/VectorClones.h"

#include <QFile>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <sys/mman.h>

namespace tamsel {

Surface::Surface(Surface&& other) noexcept
    : header_(other.header_), stride_(other.stride_), fullW_(other.fullW_), fullH_(other.fullH_),
      displayColours_(other.displayColours_), bits_(std::move(other.bits_))
{
    other.header_ = BitmapInfoHeader{};
    other.stride_ = 0;
    other.displayColours_ = false;
}

Surface& Surface::operator=(Surface&& other) noexcept
{
    if (this != &other) {
        Release();
        header_ = other.header_;
        stride_ = other.stride_;
        fullW_ = other.fullW_;
        fullH_ = other.fullH_;
        displayColours_ = other.displayColours_;
        bits_ = std::move(other.bits_);
        other.header_ = BitmapInfoHeader{};
        other.stride_ = 0;
        other.displayColours_ = false;
    }
    return *this;
}

void Surface::FreeBytes::operator()(uint8_t* p) const noexcept
{
    if (mapped)
        ::munmap(p, mapped);
    else
        std::free(p);
}

void Surface::Release()
{
    bits_.reset();
    fullW_ = fullH_ = 0;
    displayColours_ = false;
    header_.biWidth = 0;
    header_.biHeight = 0;
    header_.biSizeImage = 0;
    header_.biBitCount = 0;
    stride_ = 0;
}

Outcome Surface::Create(int32_t width, int32_t height)
{
    Release();
    header_ = BitmapInfoHeader{};
    header_.biBitCount = 0;
    // The byte size must fit the header's 32-bit field; a larger request is an
    // overflow, not a picture.
    const int64_t rowBytes = int64_t(width) * 3;
    if (rowBytes > std::numeric_limits<int32_t>::max() - 3)
        return Outcome::Failed(QString::fromUtf8(kErrOverflow));
    const int64_t stride = DibStride(width);
    const int64_t size = stride * int64_t(height);
    if (width > 0 && height > 0 && size > std::numeric_limits<int32_t>::max())
        return Outcome::Failed(QString::fromUtf8(kErrOverflow));
    if (width <= 0 || height <= 0)
        return Outcome::Failed(QString::fromUtf8(kErrCreate));
    // A photo-sized surface gets pages of its own, handed back to the system
    // the moment it is released: through malloc, a freed block this large
    // raises the allocator's own threshold, later ones come from its heap,
    // and a show of big photos leaves that heap holding tens of megabytes.
    // Fresh pages are zero, so the surface is black without a second pass.
    constexpr size_t kOwnPages = size_t(1) << 20;
    uint8_t* bits = nullptr;
    size_t mapped = 0;
    if (size_t(size) >= kOwnPages) {
        void* p = ::mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            bits = static_cast<uint8_t*>(p);
            mapped = size_t(size);
        }
    } else {
        bits = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(size), 1));
    }
    if (!bits)
        return Outcome::Failed(QString::fromUtf8(kErrCreate));
    // A photo-sized surface is written whole right away; in 2 MB pages that
    // costs a third of the page faults' time of 4 KB pages.
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(bits) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(bits) + uintptr_t(size)) & ~(kHuge - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    bits_ = decltype(bits_)(bits, FreeBytes{mapped});
    stride_ = static_cast<int32_t>(stride);
    header_.biWidth = width;
    header_.biHeight = height;
    header_.biBitCount = 24;
    header_.biSizeImage = static_cast<uint32_t>(size);
    return Outcome::Done();
}

void Surface::Cls()
{
    if (bits_)
        std::memset(bits_.get(), 0, static_cast<size_t>(RGBSize()));
}

int32_t Surface::MapArray(std::span<uint8_t>& view)
{
    if (!bits_) {
        view = {};
        return 0;
    }
    view = std::span<uint8_t>(bits_.get(), static_cast<size_t>(RGBSize()));
    return RGBSize() / Height();
}

Outcome Surface::Clone(const QImage& pic, bool FitSize)
{
    if (pic.isNull())
        return Outcome::Failed(QString::fromUtf8(kErrLoad));
    if (FitSize)
        if (Outcome made = Create(pic.width(), pic.height()); !made)
            return made;
    if (!bits_)
        return Outcome::Failed(QString::fromUtf8(kErrLoad));

    const QImage* img = &pic;
    QImage converted;
    if (pic.format() != QImage::Format_RGB32 && pic.format() != QImage::Format_ARGB32) {
        converted = pic.convertToFormat(QImage::Format_RGB32);
        img = &converted;
    }
    const int w = std::min(Width(), img->width());
    const int h = std::min(Height(), img->height());
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const uint32_t*>(img->constScanLine(y));
        uint8_t* d = RowPtr(y);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = s[x];
            d[0] = uint8_t(p);
            d[1] = uint8_t(p >> 8);
            d[2] = uint8_t(p >> 16);
            d += 3;
        }
    }
    return Outcome::Done();
}

namespace {

// Fills the span [x0, x1) of screen row y with black, clipped to the surface.
void FillSpan(Surface& s, int y, int x0, int x1)
{
    if (y < 0 || y >= s.Height())
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, s.Width());
    if (x1 > x0)
        std::memset(s.RowPtr(y) + size_t(x0) * 3, 0, size_t(x1 - x0) * 3);
}

// Half-width of an ellipse of radii (a, b) centred between pixel centres, at the
// centre of row offset dy. Returns a negative number when the row misses it.
double EllipseHalfWidth(double a, double b, double dy)
{
    if (a <= 0 || b <= 0)
        return -1;
    const double t = 1.0 - (dy * dy) / (b * b);
    if (t < 0)
        return -1;
    return a * std::sqrt(t);
}

}  // namespace

void Surface::DrawGeometry(int16_t ty, int16_t X1, int16_t Y1, int16_t X2, int16_t Y2)
{
    if (!bits_ || ty < 1 || ty > 3)
        return;
    int left = std::min(X1, X2), right = std::max(X1, X2);
    int top = std::min(Y1, Y2), bottom = std::max(Y1, Y2);
    if (right <= left || bottom <= top)
        return;
    // Shapes cover the box with its right and bottom edges left out, so a box
    // of (X1, Y1)-(X2, Y2) is (X2 - X1) x (Y2 - Y1) pixels.
    const double cx = (left + right) / 2.0;
    const double cy = (top + bottom) / 2.0;
    for (int y = std::max(top, 0); y < std::min(bottom, Height()); ++y) {
        const double py = y + 0.5;
        if (ty == 1) {
            FillSpan(*this, y, left, right);
        } else if (ty == 2) {
            const double hw = EllipseHalfWidth((right - left) / 2.0, (bottom - top) / 2.0, py - cy);
            if (hw < 0)
                continue;
            FillSpan(*this, y, int(std::ceil(cx - hw - 0.5)), int(std::floor(cx + hw - 0.5)) + 1);
        } else {
            // Rounded rectangle with a 20 x 20 corner ellipse (less when the box is smaller).
            const double rx = std::min(10.0, (right - left) / 2.0);
            const double ry = std::min(10.0, (bottom - top) / 2.0);
            double inset = 0;
            if (py < top + ry)
                inset = rx - EllipseHalfWidth(rx, ry, top + ry - py);
            else if (py > bottom - ry)
                inset = rx - EllipseHalfWidth(rx, ry, py - (bottom - ry));
            if (inset > rx)
                continue;
            FillSpan(*this, y, int(std::ceil(left + inset - 0.5)),
                     int(std::floor(right - inset - 0.5)) + 1);
        }
    }
}

namespace {
void Put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
}  // namespace


uint32_t Surface::BmpHead(uint8_t* head, uint32_t profileSize) const
{
    // Without a profile: the 40-byte header every reader knows. With one: the
    // version 5 header (124 bytes) naming it embedded ("MBED"), the profile
    // after the pixels.
    const uint32_t infoSize = profileSize == 0 ? 40 : 124;
    const uint32_t offset = 14 + infoSize;
    std::memset(head, 0, offset);
    head[0] = 'B';
    head[1] = 'M';
    Put32(head + 2, offset + header_.biSizeImage + profileSize);
    Put32(head + 10, offset);
    Put32(head + 14, infoSize);
    Put32(head + 18, uint32_t(header_.biWidth));
    Put32(head + 22, uint32_t(header_.biHeight));
    Put16(head + 26, header_.biPlanes);
    Put16(head + 28, header_.biBitCount);
    Put32(head + 30, header_.biCompression);
    Put32(head + 34, header_.biSizeImage);
    Put32(head + 38, uint32_t(header_.biXPelsPerMeter));
    Put32(head + 42, uint32_t(header_.biYPelsPerMeter));
    Put32(head + 46, header_.biClrUsed);
    Put32(head + 50, header_.biClrImportant);
    if (profileSize != 0) {
        uint8_t* v5 = head + 14;
        Put32(v5 + 56, 0x4D424544);                               // "MBED"
        Put32(v5 + 108, 4);                                       // for pictures: perceptual
        Put32(v5 + 112, infoSize + header_.biSizeImage);          // from the header's start
        Put32(v5 + 116, profileSize);
    }
    return offset;
}

Outcome Surface::SaveBMP(const std::string& FileName, std::string_view profile) const
{
    if (!bits_)
        return Outcome::Failed(QStringLiteral("没有照片"));
    uint8_t head[kMaxBmpHead];
    const uint32_t offset = BmpHead(head, uint32_t(profile.size()));
    SafeWrite out(QFile::decodeName(QByteArray::fromStdString(FileName)));
    out.Write(reinterpret_cast<const char*>(head), offset);
    out.Write(reinterpret_cast<const char*>(bits_.get()), RGBSize());
    if (!profile.empty())
        out.Write(profile.data(), qint64(profile.size()));
    return out.Commit();
}

QByteArray Surface::BmpBytes(std::string_view profile) const
{
    if (!bits_)
        return {};
    uint8_t head[kMaxBmpHead];
    const uint32_t offset = BmpHead(head, uint32_t(profile.size()));
    QByteArray file;
    file.reserve(qsizetype(offset) + RGBSize() + qsizetype(profile.size()));
    file.append(reinterpret_cast<const char*>(head), offset);
    file.append(reinterpret_cast<const char*>(bits_.get()), RGBSize());
    file.append(profile.data(), qsizetype(profile.size()));
    return file;
}

namespace {
TAMSEL_VECTOR_CLONES void RowToRgb32(const uint8_t* s, uint32_t* d, int n)
{
    for (int x = 0; x < n; ++x)
        d[x] = 0xFF000000u | uint32_t(s[3 * x + 2]) << 16 | uint32_t(s[3 * x + 1]) << 8 | s[3 * x];
}
}  // namespace

void Surface::CopyToRgb32(QImage& out) const
{
    if (!bits_) {
        out = QImage();
        return;
    }
    if (out.size() != QSize(Width(), Height()) || out.format() != QImage::Format_RGB32)
        out = QImage(Width(), Height(), QImage::Format_RGB32);
    CopyRectToRgb32(QRect(0, 0, Width(), Height()), out.bits(), out.bytesPerLine());
}

void Surface::CopyRectToRgb32(const QRect& from, uint8_t* dst, std::ptrdiff_t dstStride) const
{
    const QRect r = from.intersected(QRect(0, 0, Width(), Height()));
    if (!bits_ || r.isEmpty())
        return;
    dst += std::ptrdiff_t(r.top() - from.top()) * dstStride + std::ptrdiff_t(r.left() - from.left()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y, dst += dstStride)
        RowToRgb32(RowPtr(y) + 3 * r.left(), reinterpret_cast<uint32_t*>(dst), r.width());
}

QImage Surface::ToQImage() const { return ToQImage(QRect(0, 0, Width(), Height())); }

QImage Surface::ToQImage(const QRect& part) const
{
    const QRect r = part.intersected(QRect(0, 0, Width(), Height()));
    if (!bits_ || r.isEmpty())
        return {};
    QImage out(r.size(), QImage::Format_BGR888);
    const size_t rowBytes = size_t(r.width()) * 3;
    for (int y = 0; y < r.height(); ++y)
        std::memcpy(out.scanLine(y), RowPtr(r.top() + y) + 3 * r.left(), rowBytes);
    return out;
}

}  // namespace tamsel
