#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/Outcome.h"

class QByteArray;
class QImage;
class QRect;

namespace tamsel {

enum class Keep;   // platform/SafeWrite.h

inline constexpr const char* kErrCreate = "产生虚拟图片出错";
inline constexpr const char* kErrLoad = "装入图片出错";
inline constexpr const char* kErrOverflow = "溢出";

// The 40-byte bitmap info header as written into BMP files.
struct BitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 24;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

// An off-screen 24-bit picture with the byte layout of a bottom-up DIB: three
// bytes per pixel (blue, green, red), rows padded with zeros to 4 bytes, byte 0
// the leftmost pixel of the bottom row. Coordinates given to the drawing helpers
// are screen coordinates (y grows downwards); RowPtr() does the flip.
class Surface {
public:
    Surface() = default;
    ~Surface() { Release(); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;

    // Releases what the surface holds and makes a black width x height picture.
    // A zero or negative size or memory running out fails with "产生虚拟图片出错",
    // a byte size beyond 32 bits with "溢出"; the surface is then empty.
    // Every drawing routine passes over an empty surface, so a caller with
    // nothing to tell the user about the failure may simply go on.
    Outcome Create(int32_t width, int32_t height);
    // Makes the surface a copy of a picture at the picture's own size (or
    // into its present size without FitSize). A null picture fails with
    // "装入图片出错".
    [[nodiscard]] Outcome Clone(const QImage& pic, bool FitSize = true);
    void Cls();

    int32_t Width() const { return header_.biWidth; }
    int32_t Height() const { return header_.biHeight; }
    // The picture's size in its file. A photo decoded at a reduced size for
    // the screen keeps its true size here; otherwise it is the surface's own.
    int32_t FullWidth() const { return fullW_ ? fullW_ : Width(); }
    int32_t FullHeight() const { return fullH_ ? fullH_ : Height(); }
    bool Reduced() const { return FullWidth() != Width() || FullHeight() != Height(); }
    void SetFullSize(int32_t w, int32_t h)
    {
        fullW_ = w;
        fullH_ = h;
    }
    // Whether the pixels were brought into the display's colours as they were
    // read (a photo with a profile of its own): what leaves the album for
    // elsewhere is turned back into sRGB, or carries the display's profile.
    bool InDisplayColours() const { return displayColours_; }
    void SetInDisplayColours(bool on) { displayColours_ = on; }
    int32_t RGBSize() const { return static_cast<int32_t>(header_.biSizeImage); }
    int32_t Stride() const { return stride_; }
    uint8_t* DataPtr() { return bits_.get(); }
    const uint8_t* DataPtr() const { return bits_.get(); }
    bool HasPixels() const { return bits_ != nullptr; }
    const BitmapInfoHeader& Header() const { return header_; }

    // A view of the pixel bytes (no copy); returns the row stride.
    int32_t MapArray(std::span<uint8_t>& view);
    void UnMapArray(std::span<uint8_t>& view) { view = {}; }

    // Row y in screen coordinates (0 = top).
    uint8_t* RowPtr(int y) { return bits_.get() + static_cast<size_t>(Height() - 1 - y) * stride_; }
    const uint8_t* RowPtr(int y) const
    {
        return bits_.get() + static_cast<size_t>(Height() - 1 - y) * stride_;
    }

    // Fills a black rectangle (1), ellipse (2) or rounded rectangle (3) over the
    // box (X1, Y1)-(X2, Y2), right and bottom edges exclusive; other ty draw nothing.
    void DrawGeometry(int16_t ty, int16_t X1, int16_t Y1, int16_t X2, int16_t Y2);

    // Writes a 54-byte-header BMP, whole or not at all (a file already there
    // stays as it was when the write fails), and says why when it could not:
    // an empty surface has nothing to write. An ICC profile given is
    // embedded, in a version 5 header.
    [[nodiscard]] Outcome SaveBMP(const std::string& FileName, std::string_view profile = {}) const;
    // The bytes of that file, in memory; empty for an empty surface.
    QByteArray BmpBytes(std::string_view profile = {}) const;

    // Pixel filters, in place.
    void ShiftColors(int32_t addRed, int32_t addGreen, int32_t addBlue);
    void Sharpen();
    void FastBlur();

    // A QImage sharing nothing with the surface (RGB888, top-down): the whole
    // picture, or the part of it inside the rectangle.
    QImage ToQImage() const;
    QImage ToQImage(const QRect& part) const;
    // Converts the picture into out (RGB32, top-down, resized when needed):
    // the window system's own pixel format, so showing it is a plain copy.
    void CopyToRgb32(QImage& out) const;
    // Converts the rectangle from (inside the surface) into 32-bit pixels
    // 0xFFRRGGBB at dst, rows dstStride bytes apart: straight into a window's
    // own buffer, with no picture in between.
    void CopyRectToRgb32(const QRect& from, uint8_t* dst, std::ptrdiff_t dstStride) const;
    void Release();

private:
    // The file header and the info header of the surface's BMP, at most
    // kMaxBmpHead bytes, into head; returns their length.
    static constexpr int kMaxBmpHead = 14 + 124;
    uint32_t BmpHead(uint8_t* head, uint32_t profileSize) const;

    BitmapInfoHeader header_;
    int32_t stride_ = 0;
    int32_t fullW_ = 0, fullH_ = 0;   // 0: the surface's own size
    bool displayColours_ = false;
    // From calloc, whose zeroed pages make a new surface black for free.
    // Pixels come from malloc, or, for a big surface, from pages of their own.
    struct FreeBytes {
        size_t mapped;   // the length of those pages; 0 (as value-initialised): malloc's
        void operator()(uint8_t* p) const noexcept;
    };
    std::unique_ptr<uint8_t[], FreeBytes> bits_;
};

// Row stride of a 24-bit row: width x 3 rounded up to a multiple of 4.
inline int64_t DibStride(int64_t width) { return (width * 3 + 3) & ~int64_t(3); }

}  // namespace tamsel
