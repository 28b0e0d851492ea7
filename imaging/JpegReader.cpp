#include "imaging/JpegReader.h"

#include "model/Surface.h"
#include "platform/SafeOpen.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <unistd.h>

#include <jpeglib.h>
#include <jerror.h>

namespace tamsel {
namespace {

// The same limits as the image file library: no side beyond 16384 pixels,
// no picture beyond 128 megapixels, and no more than 256 MiB of the decoder's
// own working memory (a progressive photo holds all its coefficients).
constexpr JDIMENSION kMaxSide = 16384;
constexpr uint64_t kMaxArea = 128'000'000;
constexpr long kMaxWorkMemory = 256L * 1024 * 1024;
// Every 8 x 8 block of the first colour needs at least one bit of data, so a
// file cannot describe more than 512 pixels per byte; a header that claims
// more is lying, and the decoder would only make up the rest as grey.
constexpr uint64_t kMaxPixelsPerByte = 512;

// libjpeg reports a fatal error by calling error_exit, which must not return:
// it jumps back to the decoding function, which then gives up on the file.
struct ErrorJump {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool pastHeader = false;   // data ending inside the headers is no photo at all
    bool cutOff = false;
};

[[noreturn]] void JumpOut(j_common_ptr c) { std::longjmp(reinterpret_cast<ErrorJump*>(c->err)->jump, 1); }
// Data that ends before the picture does is not decoded any further: the
// decoder would fill the rest with grey, which is not the photo, and the image
// file library refuses such a file as well. Other warnings (stray bytes
// between markers) leave a good picture and pass without noise.
void OnMessage(j_common_ptr c, int level)
{
    auto* err = reinterpret_cast<ErrorJump*>(c->err);
    if (level < 0 && err->pastHeader && (err->pub.msg_code == JWRN_JPEG_EOF || err->pub.msg_code == JWRN_HIT_MARKER)) {
        err->cutOff = true;
        std::longjmp(err->jump, 1);
    }
}
void Quiet(j_common_ptr) {}

struct Decompressor {
    jpeg_decompress_struct cinfo{};
    ErrorJump err{};
    Decompressor()
    {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = JumpOut;
        err.pub.emit_message = OnMessage;
        err.pub.output_message = Quiet;
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
};

uint16_t Get16(const unsigned char* p, bool le) { return le ? uint16_t(p[0] | p[1] << 8) : uint16_t(p[0] << 8 | p[1]); }
uint32_t Get32(const unsigned char* p, bool le)
{
    return le ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24
              : uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// Where pixel (x, y) of the upright picture comes from in the stored one
// (sw x sh): the source of the first pixel of each upright row and the steps,
// in pixels, along an upright row and down an upright column.
struct Walk {
    int x0, y0;     // source of upright (0, 0)
    int dxx, dxy;   // source step for upright x + 1
    int dyx, dyy;   // source step for upright y + 1
};

Walk WalkFor(int orientation, int sw, int sh)
{
    switch (orientation) {
    case 2: return {sw - 1, 0, -1, 0, 0, 1};           // mirrored left-right
    case 3: return {sw - 1, sh - 1, -1, 0, 0, -1};     // upside down
    case 4: return {0, sh - 1, 1, 0, 0, -1};           // mirrored top-bottom
    case 5: return {0, 0, 0, 1, 1, 0};                 // transposed
    case 6: return {0, sh - 1, 0, -1, 1, 0};           // needs a quarter turn clockwise
    case 7: return {sw - 1, sh - 1, 0, -1, -1, 0};     // transversed
    case 8: return {sw - 1, 0, 0, 1, -1, 0};           // needs a quarter turn counter-clockwise
    default: return {0, 0, 1, 0, 0, 1};
    }
}

// Copies the stored picture into the upright surface.
void Turn(const Surface& stored, Surface& upright, int orientation)
{
    const Walk w = WalkFor(orientation, stored.Width(), stored.Height());
    // Source pointers step in bytes; a step down the screen is a step back in memory.
    const ptrdiff_t stepX = ptrdiff_t(w.dxx) * 3 - ptrdiff_t(w.dxy) * stored.Stride();
    for (int y = 0; y < upright.Height(); ++y) {
        const int sx = w.x0 + w.dyx * y;
        const int sy = w.y0 + w.dyy * y;
        const uint8_t* s = stored.RowPtr(sy) + size_t(sx) * 3;
        uint8_t* d = upright.RowPtr(y);
        for (int x = 0; x < upright.Width(); ++x) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d += 3;
            s += stepX;
        }
    }
}

enum class Decoded { Whole, NotForUs, TooLarge, CutOff };

JpegClaim Judge(const jpeg_decompress_struct& c, uint64_t fileSize)
{
    const uint64_t area = uint64_t(c.image_width) * c.image_height;
    if (c.image_width > kMaxSide || c.image_height > kMaxSide || area > kMaxArea)
        return JpegClaim::TooLarge;
    if (area > fileSize * kMaxPixelsPerByte)
        return JpegClaim::CutOff;
    return JpegClaim::Fits;
}

JpegClaim ReadClaim(Decompressor& d, const uchar* data, size_t size)
{
    jpeg_decompress_struct& c = d.cinfo;
    if (setjmp(d.err.jump))
        return JpegClaim::NotJpeg;
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&c, TRUE) != JPEG_HEADER_OK)
        return JpegClaim::NotJpeg;
    return Judge(c, size);
}

// The decoding itself, kept free of objects with destructors between the
// jump target and the libjpeg calls, as longjmp requires. An upright photo
// goes straight into target; one stored sideways goes into stored first.
Decoded Decode(Decompressor& d, FILE* in, qint64 size, Surface& target, Surface& stored,
               int& orientation, int minW, int minH, uint32_t& fullW, uint32_t& fullH)
{
    jpeg_decompress_struct& c = d.cinfo;
    if (setjmp(d.err.jump))
        return d.err.cutOff ? Decoded::CutOff : Decoded::NotForUs;
    jpeg_create_decompress(&c);
    c.mem->max_memory_to_use = kMaxWorkMemory;
    jpeg_stdio_src(&c, in);
    jpeg_save_markers(&c, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(&c, TRUE) != JPEG_HEADER_OK)
        return Decoded::NotForUs;
    d.err.pastHeader = true;
    // Checked before a byte of the picture is made: the header alone may
    // claim any size.
    if (const JpegClaim claim = Judge(c, size); claim != JpegClaim::Fits)
        return claim == JpegClaim::TooLarge ? Decoded::TooLarge : Decoded::CutOff;
    orientation = 1;
    for (jpeg_saved_marker_ptr m = c.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length > 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0)
            orientation = ExifOrientation(m->data, m->data_length);
    fullW = c.image_width;
    fullH = c.image_height;
    if (minW > 0 && minH > 0) {
        // The rows as stored: a photo turned by its tag needs the sides swapped.
        const uint64_t needW = uint64_t(orientation >= 5 ? minH : minW);
        const uint64_t needH = uint64_t(orientation >= 5 ? minW : minH);
        for (unsigned k = 1; k <= 8; ++k) {
            if ((uint64_t(c.image_width) * k + 7) / 8 >= needW &&
                (uint64_t(c.image_height) * k + 7) / 8 >= needH) {
                c.scale_num = k;
                c.scale_denom = 8;
                break;
            }
        }
    }
    // The surface's own byte order: libjpeg-turbo writes blue, green, red
    // straight into the rows, no conversion pass afterwards.
    c.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&c);
    if (c.output_components != 3)
        return Decoded::NotForUs;
    Surface& rowsOf = orientation == 1 ? target : stored;
    rowsOf.Create(int32_t(c.output_width), int32_t(c.output_height));
    JSAMPROW rows[16];
    while (c.output_scanline < c.output_height) {
        const int first = int(c.output_scanline);
        const int n = std::min<int>(16, int(c.output_height) - first);
        for (int i = 0; i < n; ++i)
            rows[i] = rowsOf.RowPtr(first + i);
        jpeg_read_scanlines(&c, rows, JDIMENSION(n));
    }
    jpeg_finish_decompress(&c);
    return Decoded::Whole;
}

}  // namespace

JpegClaim CheckJpegClaim(const unsigned char* data, size_t size)
{
    Decompressor d;
    return ReadClaim(d, data, size);
}

int ExifOrientation(const unsigned char* data, unsigned size)
{
    // "Exif\0\0", then a TIFF header: byte order, 42, offset of the first IFD.
    if (size < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return 1;
    const unsigned char* t = data + 6;
    const uint32_t n = size - 6;
    bool le;
    if (t[0] == 'I' && t[1] == 'I')
        le = true;
    else if (t[0] == 'M' && t[1] == 'M')
        le = false;
    else
        return 1;
    if (Get16(t + 2, le) != 42)
        return 1;
    const uint32_t ifd = Get32(t + 4, le);
    if (ifd > n - 2 || ifd < 8)
        return 1;
    const uint32_t entries = Get16(t + ifd, le);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t at = uint64_t(ifd) + 2 + uint64_t(i) * 12;
        if (at + 12 > n)
            break;
        const unsigned char* e = t + at;
        if (Get16(e, le) == 0x0112) {
            // A SHORT held in the first two bytes of the value field.
            const int v = Get16(e + 8, le);
            return (v >= 1 && v <= 8) ? v : 1;
        }
    }
    return 1;
}

bool ReadJpeg(const QString& path, Surface& out, int minW, int minH)
{
    // The file is streamed through a small buffer rather than mapped: a
    // 24-megapixel photo's 8 MB would otherwise all count as the program's
    // memory while a reduced decode reads it once, front to back.
    QFile file;
    switch (OpenRegularFile(path, file)) {
    case OpenResult::Opened:
        break;
    case OpenResult::NotAFile:
        // A pipe or device is no picture for any reader: the general one
        // would wait on it for ever.
        throw SurfaceError(-1, kErrLoad);
    default:
        return false;
    }
    const qint64 size = file.size();
    if (size < 4)
        return false;
    const int fd = ::dup(file.handle());
    std::unique_ptr<FILE, int (*)(FILE*)> in(fd >= 0 ? ::fdopen(fd, "rb") : nullptr, &std::fclose);
    if (!in) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    std::setvbuf(in.get(), nullptr, _IOFBF, 64 * 1024);
    unsigned char magic[2] = {};
    if (std::fseek(in.get(), 0, SEEK_SET) != 0 || std::fread(magic, 1, 2, in.get()) != 2 ||
        magic[0] != 0xFF || magic[1] != 0xD8 || std::fseek(in.get(), 0, SEEK_SET) != 0)
        return false;

    // Decoded beside out, which keeps its picture until the new one is whole.
    Surface upright, stored;
    int orientation = 1;
    uint32_t fullW = 0, fullH = 0;
    Decoded result;
    {
        Decompressor d;
        result = Decode(d, in.get(), size, upright, stored, orientation, minW, minH, fullW, fullH);
    }
    // A JPEG the album refuses is not handed to another reader, which would
    // only take the same time and memory to show the same grey.
    if (result == Decoded::TooLarge)
        throw SurfaceError(-1, kErrTooLarge);
    if (result == Decoded::CutOff)
        throw SurfaceError(-1, kErrCutOff);
    if (result != Decoded::Whole)
        return false;
    if (orientation != 1) {
        const bool swaps = orientation >= 5;
        upright.Create(swaps ? stored.Height() : stored.Width(),
                       swaps ? stored.Width() : stored.Height());
        Turn(stored, upright, orientation);
    }
    const bool swaps = orientation >= 5;
    upright.SetFullSize(int32_t(swaps ? fullH : fullW), int32_t(swaps ? fullW : fullH));
    out = std::move(upright);
    return true;
}

}  // namespace tamsel
