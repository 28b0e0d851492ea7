#include "imaging/JpegReader.h"

#include "imaging/ColourProfile.h"
#include "model/Surface.h"
#include "platform/SafeOpen.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

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
    // Given up: the watch said stop, or the data is damaged past counting.
    bool stopped = false;
    const DecodeWatch* watch = nullptr;
    boolean (*fill)(j_decompress_ptr) = nullptr;   // the source's own
};

// No photo file comes near this size; a larger one that begins like a JPEG is
// a download cut short into a preallocated file, gigabytes of zeros the
// decoder would search for its next marker.
constexpr qint64 kMaxFileBytes = qint64(1024) * 1024 * 1024;
// A photo with a few damaged segments still shows; data that is damaged
// segment after segment is no photo, and only costs time (the image file
// library gives up the same way).
constexpr long kMaxWarnings = 1000;

[[noreturn]] void JumpOut(j_common_ptr c) { std::longjmp(reinterpret_cast<ErrorJump*>(c->err)->jump, 1); }
// Data that ends before the picture does is not decoded any further: the
// decoder would fill the rest with grey, which is not the photo, and the image
// file library refuses such a file as well. Other warnings (stray bytes
// between markers) leave a good picture and pass without noise.
void OnMessage(j_common_ptr c, int level)
{
    auto* err = reinterpret_cast<ErrorJump*>(c->err);
    if (level >= 0)
        return;
    if (err->pastHeader && (err->pub.msg_code == JWRN_JPEG_EOF || err->pub.msg_code == JWRN_HIT_MARKER)) {
        err->cutOff = true;
        std::longjmp(err->jump, 1);
    }
    if (++err->pub.num_warnings > kMaxWarnings) {
        err->stopped = true;
        std::longjmp(err->jump, 1);
    }
}

// The source's refill, asked first whether to go on: each refill is one
// buffer of the file, so a decode that searches gigabytes stops in time.
boolean FillWatched(j_decompress_ptr c)
{
    auto* err = reinterpret_cast<ErrorJump*>(c->err);
    if (err->watch->Expired()) {
        err->stopped = true;
        std::longjmp(err->jump, 1);
    }
    return err->fill(c);
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

// How a decode ended: a whole picture, not a JPEG the decoder gives as BGR,
// refused by the limits or for missing data, or no surface to hold it.
enum class Ending { Whole, NotForUs, TooLarge, CutOff, NoSurface, Stopped };

// What a photo says about its colours, gathered while its header is read.
// The profile comes from libjpeg's own allocation, freed here.
struct ColourNotes {
    JOCTET* icc = nullptr;
    unsigned iccSize = 0;
    bool adobeIndex = false;
    bool inverted = false;                // Adobe-style CMYK
    std::vector<uint8_t> cmyk;            // the rows of a CMYK photo, to be converted
    ~ColourNotes() { std::free(icc); }
    QByteArray Profile() const
    {
        if (icc && iccSize > 0)
            return QByteArray(reinterpret_cast<const char*>(icc), qsizetype(iccSize));
        return adobeIndex ? AdobeRgbProfile() : QByteArray();
    }
};

// The inks are kept bottom-up like the surface's rows, so one call converts them all.
bool InksToDisplay(const ColourNotes& colour, Surface& pic)
{
    return ConvertPixels(colour.Profile(), DisplayProfile(),
                         colour.inverted ? PixelFormat::Cmyk8Inverted : PixelFormat::Cmyk8,
                         PixelFormat::Bgr8, colour.cmyk.data(), size_t(pic.Width()) * 4, pic.DataPtr(),
                         size_t(pic.Stride()), pic.Width(), pic.Height());
}

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
// A surface that cannot be made leaves its reason in why.
Ending Decode(Decompressor& d, FILE* in, qint64 size, Surface& target, Surface& stored, int& orientation,
              int minW, int minH, uint32_t& fullW, uint32_t& fullH, ColourNotes& colour, QString& why,
              const DecodeWatch& watch)
{
    jpeg_decompress_struct& c = d.cinfo;
    if (setjmp(d.err.jump))
        return d.err.cutOff ? Ending::CutOff : d.err.stopped ? Ending::Stopped : Ending::NotForUs;
    jpeg_create_decompress(&c);
    c.mem->max_memory_to_use = kMaxWorkMemory;
    jpeg_stdio_src(&c, in);
    d.err.watch = &watch;
    d.err.fill = c.src->fill_input_buffer;
    c.src->fill_input_buffer = FillWatched;
    jpeg_save_markers(&c, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&c, JPEG_APP0 + 2, 0xFFFF);   // the ICC profile, in pieces
    if (jpeg_read_header(&c, TRUE) != JPEG_HEADER_OK)
        return Ending::NotForUs;
    d.err.pastHeader = true;
    // Checked before a byte of the picture is made: the header alone may
    // claim any size.
    if (const JpegClaim claim = Judge(c, size); claim != JpegClaim::Fits)
        return claim == JpegClaim::TooLarge ? Ending::TooLarge : Ending::CutOff;
    orientation = 1;
    for (jpeg_saved_marker_ptr m = c.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length > 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0)
        {
            orientation = ExifOrientation(m->data, m->data_length);
            colour.adobeIndex = ExifSaysAdobeRgb(m->data, m->data_length);
        }
    if (!jpeg_read_icc_profile(&c, &colour.icc, &colour.iccSize))
        colour.iccSize = 0;
    fullW = c.image_width;
    fullH = c.image_height;
    if (minW > 0 && minH > 0) {
        // The rows as stored: a photo turned by its tag needs the sides swapped.
        const uint64_t needW = uint64_t(orientation >= 5 ? minH : minW);
        const uint64_t needH = uint64_t(orientation >= 5 ? minW : minH);
        // A photo fitted into the box, proportions kept, is never shown
        // larger than the box in the one direction it fills: reaching the box
        // one way is enough, and a size that reaches it both ways would decode
        // up to twice the rows for nothing.
        for (unsigned k = 1; k <= 8; ++k) {
            if ((uint64_t(c.image_width) * k + 7) / 8 >= needW ||
                (uint64_t(c.image_height) * k + 7) / 8 >= needH) {
                c.scale_num = k;
                c.scale_denom = 8;
                break;
            }
        }
    }
    // The surface's own byte order: libjpeg-turbo writes blue, green, red
    // straight into the rows, no conversion pass afterwards.
    // A CMYK photo has no BGR of its own: its inks are read as they are and
    // converted through its profile afterwards. Without a profile it is
    // left to the general reader.
    const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
    if (cmyk && colour.iccSize == 0)
        return Ending::NotForUs;
    c.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    colour.inverted = cmyk && c.saw_Adobe_marker;
    jpeg_start_decompress(&c);
    if (c.output_components != (cmyk ? 4 : 3))
        return Ending::NotForUs;
    Surface& rowsOf = orientation == 1 ? target : stored;
    if (const Outcome made = rowsOf.Create(int32_t(c.output_width), int32_t(c.output_height)); !made) {
        why = made.message;
        return Ending::NoSurface;
    }
    const size_t inkStride = size_t(c.output_width) * 4;
    if (cmyk)
        colour.cmyk.resize(inkStride * c.output_height);
    JSAMPROW rows[16];
    while (c.output_scanline < c.output_height) {
        const int first = int(c.output_scanline);
        const int n = std::min<int>(16, int(c.output_height) - first);
        for (int i = 0; i < n; ++i)
            rows[i] = cmyk ? colour.cmyk.data() + inkStride * (c.output_height - 1 - size_t(first + i))
                           : rowsOf.RowPtr(first + i);
        jpeg_read_scanlines(&c, rows, JDIMENSION(n));
        if (watch.Expired())
            return Ending::Stopped;
    }
    // Not finished: what follows the picture's data (up to its end marker,
    // or gigabytes of zeros) is never needed.
    return Ending::Whole;
}

}  // namespace

JpegClaim CheckJpegClaim(const unsigned char* data, size_t size)
{
    Decompressor d;
    return ReadClaim(d, data, size);
}

namespace {

// The TIFF structure inside an APP1 "Exif\0\0" block.
struct ExifBlock {
    const unsigned char* t = nullptr;   // the TIFF header
    uint32_t n = 0;                     // bytes from there
    bool le = false;
    uint32_t ifd0 = 0;
};

bool OpenExif(const unsigned char* data, unsigned size, ExifBlock& x)
{
    // "Exif\0\0", then a TIFF header: byte order, 42, offset of the first IFD.
    if (size < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return false;
    x.t = data + 6;
    x.n = size - 6;
    if (x.t[0] == 'I' && x.t[1] == 'I')
        x.le = true;
    else if (x.t[0] == 'M' && x.t[1] == 'M')
        x.le = false;
    else
        return false;
    x.ifd0 = Get32(x.t + 4, x.le);
    return Get16(x.t + 2, x.le) == 42;
}

// The 12-byte entry of tag in the IFD at offset ifd, or nullptr.
const unsigned char* FindTag(const ExifBlock& x, uint32_t ifd, uint16_t tag)
{
    if (ifd < 8 || ifd > x.n - 2)
        return nullptr;
    const uint32_t entries = Get16(x.t + ifd, x.le);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t at = uint64_t(ifd) + 2 + uint64_t(i) * 12;
        if (at + 12 > x.n)
            break;
        if (Get16(x.t + at, x.le) == tag)
            return x.t + at;
    }
    return nullptr;
}

}  // namespace

int ExifOrientation(const unsigned char* data, unsigned size)
{
    ExifBlock x;
    if (!OpenExif(data, size, x))
        return 1;
    const unsigned char* e = FindTag(x, x.ifd0, 0x0112);
    if (!e)
        return 1;
    // A SHORT held in the first two bytes of the value field.
    const int v = Get16(e + 8, x.le);
    return (v >= 1 && v <= 8) ? v : 1;
}

bool ExifSaysAdobeRgb(const unsigned char* data, unsigned size)
{
    // IFD0 -> the Exif IFD -> its interoperability IFD, whose index "R03"
    // (ASCII, four bytes with the NUL, held in the value field) is the camera
    // rule's mark for Adobe RGB.
    ExifBlock x;
    if (!OpenExif(data, size, x))
        return false;
    const unsigned char* exif = FindTag(x, x.ifd0, 0x8769);
    const unsigned char* interop = exif ? FindTag(x, Get32(exif + 8, x.le), 0xA005) : nullptr;
    const unsigned char* index = interop ? FindTag(x, Get32(interop + 8, x.le), 0x0001) : nullptr;
    return index && Get16(index + 2, x.le) == 2 && Get32(index + 4, x.le) <= 4 &&
           std::memcmp(index + 8, "R03", 3) == 0;
}

void ClearExifOrientation(unsigned char* data, unsigned size)
{
    ExifBlock x;
    if (!OpenExif(data, size, x))
        return;
    // A SHORT in the first two bytes of the value field, in the block's order.
    if (auto* e = const_cast<unsigned char*>(FindTag(x, x.ifd0, 0x0112)); e && Get16(e + 2, x.le) == 3) {
        e[8] = x.le ? 1 : 0;
        e[9] = x.le ? 0 : 1;
    }
}

ExifTaken ExifDateTaken(const unsigned char* data, unsigned size)
{
    ExifBlock x;
    if (!OpenExif(data, size, x))
        return {};
    // An ASCII value of count bytes, held elsewhere when longer than four.
    auto text = [&](const unsigned char* e, unsigned want) {
        if (!e || Get16(e + 2, x.le) != 2 || Get32(e + 4, x.le) < want)
            return QString();
        const unsigned char* v = want <= 4 ? e + 8 : nullptr;
        if (!v) {
            const uint32_t at = Get32(e + 8, x.le);
            if (at > x.n || x.n - at < want)
                return QString();
            v = x.t + at;
        }
        return QString::fromLatin1(reinterpret_cast<const char*>(v), int(want));
    };
    const unsigned char* exif = FindTag(x, x.ifd0, 0x8769);
    const uint32_t sub = exif ? Get32(exif + 8, x.le) : 0;
    ExifTaken t{text(FindTag(x, sub, 0x9003), 19), text(FindTag(x, sub, 0x9011), 6)};
    if (t.local.isEmpty())
        t = {text(FindTag(x, x.ifd0, 0x0132), 19), {}};
    return t;
}

namespace {

Decoded Jpeg(const QString& path, QSize atMost)
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
        return Decoded::Refused(QString::fromUtf8(kErrLoad));
    default:
        return Decoded::NotMine();
    }
    const qint64 size = file.size();
    if (size < 4)
        return Decoded::NotMine();
    const int fd = ::dup(file.handle());
    std::unique_ptr<FILE, int (*)(FILE*)> in(fd >= 0 ? ::fdopen(fd, "rb") : nullptr, &std::fclose);
    if (!in) {
        if (fd >= 0)
            ::close(fd);
        return Decoded::NotMine();
    }
    std::setvbuf(in.get(), nullptr, _IOFBF, 64 * 1024);
    unsigned char magic[2] = {};
    if (std::fseek(in.get(), 0, SEEK_SET) != 0 || std::fread(magic, 1, 2, in.get()) != 2 ||
        magic[0] != 0xFF || magic[1] != 0xD8 || std::fseek(in.get(), 0, SEEK_SET) != 0)
        return Decoded::NotMine();
    if (size > kMaxFileBytes)
        return Decoded::Refused(QString::fromUtf8(kErrLoad));

    Surface upright, stored;
    int orientation = 1;
    uint32_t fullW = 0, fullH = 0;
    Ending result;
    ColourNotes colour;
    QString why;
    {
        Decompressor d;
        const DecodeWatch watch;
        result = Decode(d, in.get(), size, upright, stored, orientation, atMost.width(), atMost.height(), fullW,
                        fullH, colour, why, watch);
    }
    // A JPEG the album refuses is not handed to another reader, which would
    // only take the same time and memory to show the same grey.
    switch (result) {
    case Ending::Whole:
        break;
    case Ending::TooLarge:
        return Decoded::Refused(QString::fromUtf8(kErrTooLarge));
    case Ending::CutOff:
        return Decoded::Refused(QString::fromUtf8(kErrCutOff));
    case Ending::NoSurface:
        return Decoded::Refused(why);
    case Ending::Stopped:
        return Decoded::Refused(QString::fromUtf8(kErrLoad));
    case Ending::NotForUs:
        return Decoded::NotMine();
    }
    // Colours are converted at the decoded size, before the turn: the fewest pixels.
    Surface& decoded = orientation == 1 ? upright : stored;
    if (!colour.cmyk.empty()) {
        if (!ColourManagementOn() || !InksToDisplay(colour, decoded))
            return Decoded::NotMine();
        decoded.SetInDisplayColours(!DisplayProfile().isEmpty());
    } else {
        ShowInDisplayColours(colour.Profile(), decoded);
    }
    const bool swaps = orientation >= 5;
    if (orientation != 1) {
        if (const Outcome made = upright.Create(swaps ? stored.Height() : stored.Width(),
                                                swaps ? stored.Width() : stored.Height());
            !made)
            return Decoded::Refused(made.message);
        Turn(stored, upright, orientation);
        upright.SetInDisplayColours(stored.InDisplayColours());
    }
    upright.SetFullSize(int32_t(swaps ? fullH : fullW), int32_t(swaps ? fullW : fullH));
    return Decoded::Of(std::move(upright));
}

}  // namespace

Decoded ReadJpeg(const QString& path, QSize atMost)
{
    return ReadGuarded([&] { return Jpeg(path, atMost); });
}

}  // namespace tamsel
