#include "imaging/ImageFile.h"

#include "imaging/ColourProfile.h"
#include "imaging/HeifReader.h"
#include "imaging/JpegReader.h"
#include "model/Surface.h"
#include "platform/SafeOpen.h"

#include <QFile>
#include <QTimeZone>

#include <Magick++.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>


namespace tamsel {

struct ImageHandle::Impl {
    Magick::Image image;
};

ImageHandle::ImageHandle() = default;
ImageHandle::~ImageHandle() = default;
ImageHandle::ImageHandle(ImageHandle&&) noexcept = default;
ImageHandle& ImageHandle::operator=(ImageHandle&&) noexcept = default;
ImageHandle::ImageHandle(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

int ImageHandle::Width() const { return impl_ ? int(impl_->image.columns()) : 0; }
int ImageHandle::Height() const { return impl_ ? int(impl_->image.rows()) : 0; }

namespace {

// Limits for one picture. A photo file is small on disk but may claim any size
// in its header; these keep a broken or hostile file from taking the machine's
// memory. The largest camera photos (about 100 megapixels) still fit, held in
// memory or, beyond the memory and map limits, in the pixel cache on disk.
constexpr MagickCore::MagickSizeType kMiB = 1024 * 1024;
constexpr MagickCore::MagickSizeType kMaxSide = 16384;                 // pixels
constexpr MagickCore::MagickSizeType kMaxArea = 128'000'000;           // pixels
constexpr MagickCore::MagickSizeType kMaxMemory = 256 * kMiB;
constexpr MagickCore::MagickSizeType kMaxMap = 512 * kMiB;
constexpr MagickCore::MagickSizeType kMaxDisk = 1024 * kMiB;
constexpr MagickCore::MagickSizeType kMaxFrames = 256;
// No album photo file comes near this; anything larger is not read at all.
constexpr qint64 kMaxFileBytes = qint64(1024) * 1024 * 1024;
// Icons cannot describe more than 256 pixels a side.
constexpr size_t kMaxIconSide = 256;

struct ImageInfoFree {
    void operator()(MagickCore::ImageInfo* p) const { MagickCore::DestroyImageInfo(p); }
};
struct ExceptionFree {
    void operator()(MagickCore::ExceptionInfo* p) const { MagickCore::DestroyExceptionInfo(p); }
};
struct ImageListFree {
    void operator()(MagickCore::Image* p) const { MagickCore::DestroyImageList(p); }
};
using ImageInfoPtr = std::unique_ptr<MagickCore::ImageInfo, ImageInfoFree>;
using ExceptionPtr = std::unique_ptr<MagickCore::ExceptionInfo, ExceptionFree>;
using ImageListPtr = std::unique_ptr<MagickCore::Image, ImageListFree>;

bool Mentions(const char* text, std::string_view what)
{
    if (!text)
        return false;
    const std::string_view t(text);
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    for (size_t i = 0; i + what.size() <= t.size(); ++i) {
        size_t k = 0;
        while (k < what.size() && lower(t[i + k]) == what[k])
            ++k;
        if (k == what.size())
            return true;
    }
    return false;
}

bool TellsOfMissingData(const MagickCore::ExceptionInfo* e)
{
    for (const char* text : {e->reason, e->description})
        if (Mentions(text, "premature end") || Mentions(text, "unexpected end") ||
            Mentions(text, "insufficient image data") || Mentions(text, "read error"))
            return true;
    return false;
}

bool Refuses(MagickCore::ExceptionInfo* ex)
{
    if (ex->severity >= MagickCore::ErrorException)
        return true;
    if (ex->severity < MagickCore::WarningException)
        return false;
    if (TellsOfMissingData(ex))
        return true;
    auto* list = static_cast<MagickCore::LinkedListInfo*>(ex->exceptions);
    if (!list)
        return false;
    MagickCore::ResetLinkedListIterator(list);
    while (const auto* e =
               static_cast<const MagickCore::ExceptionInfo*>(MagickCore::GetNextValueInLinkedList(list)))
        if (TellsOfMissingData(e))
            return true;
    return false;
}

// Decoders report a cut-off file in different ways: most as an error, the JPEG
// decoder as a mere warning after filling the missing rows with grey. Either
// way the picture is not the photo, and the album must not show it as one;
// other warnings (an unknown TIFF tag, stray bytes between JPEG markers) leave
// a good picture and are no reason to refuse a photo. Some decoders leave
// their reports on the pictures they made rather than in the read's own record.
bool ReadFailed(MagickCore::ExceptionInfo* ex, MagickCore::Image* list)
{
    if (Refuses(ex))
        return true;
    for (MagickCore::Image* p = list; p; p = MagickCore::GetNextImageInList(p))
        if (Refuses(&p->exception))
            return true;
    return false;
}

// How the chosen decoder is asked to read: only the first page of a
// multi-page file; an icon file gives all its pictures. Only the formats of
// the table are ever decoded: the decoder is chosen by it, never guessed by
// the library from the bytes, so a file cannot reach one of its many other
// (script, vector or network) readers.
ImageInfoPtr InfoFor(const ImageFormat& format)
{
    ImageInfoPtr info(MagickCore::AcquireImageInfo());
    if (!info)
        return nullptr;
    MagickCore::CopyMagickString(info->magick, format.decoder, MaxTextExtent);
    info->affirm = MagickCore::MagickTrue;
    if (format.id != FormatId::Ico) {
        info->scene = 0;
        info->number_scenes = 1;
        // The library reads a scene range from this text as well.
        MagickCore::CloneString(&info->scenes, "0");
    }
    return info;
}

uint32_t Be32(const unsigned char* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint32_t Le32(const unsigned char* p) { return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }

// Lengths inside the file that decoders trust and allocate by before reading
// what they count: a PNG chunk's length, an icon picture's size. Each must lie
// within the file, or a few bytes make the decoder ask for gigabytes. A file
// that fails this was cut short or lies, and is refused like any cut-off file.
bool LengthsFit(FormatId kind, const QByteArray& bytes)
{
    const auto* d = reinterpret_cast<const unsigned char*>(bytes.constData());
    const uint64_t n = uint64_t(bytes.size());
    if (kind == FormatId::Png && bytes.startsWith("\x89PNG\r\n\x1A\n")) {
        // Chunks: length, type, data, check sum; the last is IEND.
        for (uint64_t at = 8; at + 12 <= n;) {
            const uint64_t length = Be32(d + at);
            if (at + 12 + length > n)
                return false;
            if (std::memcmp(d + at + 4, "IEND", 4) == 0)
                break;
            at += 12 + length;
        }
    } else if (kind == FormatId::Ico && n >= 6) {
        // A directory of 16-byte entries, each with the size and place of its picture.
        const unsigned count = unsigned(d[4]) | unsigned(d[5]) << 8;
        for (unsigned i = 0; i < count; ++i) {
            const uint64_t entry = 6 + 16 * uint64_t(i);
            if (entry + 16 > n || uint64_t(Le32(d + entry + 8)) + Le32(d + entry + 12) > n)
                return false;
        }
    }
    return true;
}

// Whether the picture the header claims could come from a file this size.
// Run-length and dictionary coders let a few bytes claim millions of pixels,
// which the decoders then make up (grey, black, repeated rows) at full cost in
// time and memory: a decompression bomb, or a damaged header. No photo needs
// more than 1024 pixels per byte; small pictures (a blank fax page, an icon)
// always pass.
bool AreaFits(uint64_t area, size_t size)
{
    constexpr uint64_t kAlwaysFits = 4'000'000;    // pixels
    constexpr uint64_t kMaxPixelsPerByte = 1024;
    return area <= std::max<uint64_t>(kAlwaysFits, uint64_t(size) * kMaxPixelsPerByte);
}

// The same of the picture the file's header claims, read alone: nothing is decoded.
bool ClaimFits(const ImageFormat& format, const void* data, size_t size)
{
    ImageInfoPtr info = InfoFor(format);
    ExceptionPtr ex(MagickCore::AcquireExceptionInfo());
    if (!info || !ex)
        return false;
    info->ping = MagickCore::MagickTrue;
    ImageListPtr list(MagickCore::PingBlob(info.get(), data, size, ex.get()));
    if (!list)
        return false;
    uint64_t most = 0;
    for (MagickCore::Image* p = list.get(); p; p = MagickCore::GetNextImageInList(p)) {
        // A header may claim sides whose product does not fit 64 bits: that
        // fits no file.
        uint64_t area = 0;
        if (__builtin_mul_overflow(uint64_t(p->columns), uint64_t(p->rows), &area))
            return false;
        most = std::max(most, area);
    }
    return AreaFits(most, size);
}

// The decoders report their progress row by row (a drawing step by step);
// answering "no" makes them stop where they are.
struct Progress {
    DecodeWatch watch;
    bool stopped = false;
};

MagickCore::MagickBooleanType GoOn(const char*, MagickCore::MagickOffsetType, MagickCore::MagickSizeType,
                                   void* progress)
{
    auto* p = static_cast<Progress*>(progress);
    p->stopped = p->stopped || p->watch.Expired();
    return p->stopped ? MagickCore::MagickFalse : MagickCore::MagickTrue;
}

// Reads the bytes with the chosen decoder.
ImageListPtr Decode(const ImageFormat& format, const void* data, size_t size)
{
    ImageInfoPtr info = InfoFor(format);
    ExceptionPtr ex(MagickCore::AcquireExceptionInfo());
    if (!info || !ex)
        return nullptr;
    Progress progress;
    MagickCore::SetImageInfoProgressMonitor(info.get(), GoOn, &progress);

    // Decoding from memory: the photo's own name may hold characters the
    // library would take for options ("[0]", "%d", "png:"), and is never seen.
    ImageListPtr list(MagickCore::BlobToImage(info.get(), data, size, ex.get()));
    // The pictures keep the monitor they were made with; it must not outlive this read.
    for (MagickCore::Image* p = list.get(); p; p = MagickCore::GetNextImageInList(p))
        MagickCore::SetImageProgressMonitor(p, nullptr, nullptr);
    // A decode that was stopped leaves a picture only partly made.
    if (!list || progress.stopped || ReadFailed(ex.get(), list.get()))
        return nullptr;
    return list;
}

// One picture out of what the decoder gave: the largest icon of an icon file
// (the first of equal size), the first page of anything else.
MagickCore::Image* TakeOne(ImageListPtr& list, FormatId kind)
{
    MagickCore::Image* head = list.get();
    MagickCore::Image* best = head;
    if (kind == FormatId::Ico) {
        for (MagickCore::Image* p = head; p; p = MagickCore::GetNextImageInList(p))
            if (p->columns * p->rows > best->columns * best->rows)
                best = p;
    }
    if (best == head) {
        MagickCore::Image* rest = head;
        MagickCore::Image* first = MagickCore::RemoveFirstImageFromList(&rest);
        list.release();
        list.reset(rest);
        return first;
    }
    ExceptionPtr ex(MagickCore::AcquireExceptionInfo());
    return MagickCore::CloneImage(best, 0, 0, MagickCore::MagickTrue, ex.get());
}

QByteArray Profile(const MagickCore::Image* image, const char* name)
{
    const MagickCore::StringInfo* p = MagickCore::GetImageProfile(image, name);
    if (!p || MagickCore::GetStringInfoLength(p) == 0)
        return {};
    return QByteArray(reinterpret_cast<const char*>(MagickCore::GetStringInfoDatum(p)),
                      qsizetype(MagickCore::GetStringInfoLength(p)));
}

// The picture's EXIF block in the form a JPEG carries it ("Exif\0\0", then
// the TIFF structure): the HEIF and WebP readers hand over the bare TIFF
// structure, HEIF sometimes behind the 4-byte offset of its Exif item.
QByteArray ExifBlockOf(const MagickCore::Image* image)
{
    QByteArray exif = Profile(image, "exif");
    if (exif.isEmpty() || exif.startsWith(QByteArray("Exif\0\0", 6)))
        return exif;
    if (exif.size() > 8 && !exif.startsWith("II") && !exif.startsWith("MM"))
        exif.remove(0, 4);
    return exif.startsWith(QByteArray("Exif\0\0", 6)) ? exif : exif.prepend(QByteArray("Exif\0\0", 6));
}

void SetProfile(MagickCore::Image* image, const char* name, const QByteArray& bytes)
{
    MagickCore::StringInfo* info = MagickCore::AcquireStringInfo(size_t(bytes.size()));
    MagickCore::SetStringInfoDatum(info, reinterpret_cast<const unsigned char*>(bytes.constData()));
    MagickCore::SetImageProfile(image, name, info);
    MagickCore::DestroyStringInfo(info);
}

void SetIccProfile(MagickCore::Image* image, const QByteArray& icc)
{
    if (MagickCore::StringInfo* old = MagickCore::RemoveImageProfile(image, "icc"))
        MagickCore::DestroyStringInfo(old);
    if (!icc.isEmpty())
        SetProfile(image, "icc", icc);
}

// The ICC colour space signature of a profile's header: "RGB ", "CMYK", ...
QByteArray ProfileSpace(const QByteArray& icc) { return icc.size() >= 20 ? icc.mid(16, 4) : QByteArray(); }

// Converts the picture's pixels from the space of profile from to sRGB, in
// strips of rows at the library's 16 bits. False, with the picture as it
// was, when lcms2 cannot use the profile.
bool PixelsToSrgb(Magick::Image& img, const QByteArray& from, bool cmyk)
{
    constexpr size_t kStrip = 256;
    const size_t w = img.columns(), h = img.rows();
    img.modifyImage();
    MagickCore::Image* image = img.image();
    std::vector<uint16_t> in(w * kStrip * 4), out(w * kStrip * 3);
    const PixelFormat format = cmyk ? PixelFormat::Cmyk16 : PixelFormat::Rgb16;
    const size_t channels = cmyk ? 4 : 3;
    ExceptionPtr ex(MagickCore::AcquireExceptionInfo());
    // A profile lcms2 cannot use is found before a pixel changes.
    if (!ConvertPixels(from, {}, format, PixelFormat::Rgb16, in.data(), 0, out.data(), 0, 1, 1))
        return false;
    for (size_t y = 0; y < h; y += kStrip) {
        const size_t rows = std::min(kStrip, h - y);
        MagickCore::ExportImagePixels(image, 0, ssize_t(y), w, rows, cmyk ? "CMYK" : "RGB",
                                      MagickCore::ShortPixel, in.data(), ex.get());
        ConvertPixels(from, {}, format, PixelFormat::Rgb16, in.data(), w * channels * 2, out.data(),
                      w * 6, int(w), int(rows));
        MagickCore::ImportImagePixels(image, 0, ssize_t(y), w, rows, "RGB", MagickCore::ShortPixel,
                                      out.data());
    }
    // Only now: a CMYK picture's black is read from it as CMYK.
    if (cmyk)
        MagickCore::SetImageColorspace(image, MagickCore::sRGBColorspace);
    return true;
}

// Cameras that write Adobe RGB without a profile say so by the EXIF index;
// the picture then carries an Adobe RGB profile of ours, so that whatever
// is made from it keeps its colours.
void NoteAdobeIndex(MagickCore::Image* image)
{
    if (!Profile(image, "icc").isEmpty())
        return;
    const QByteArray exif = ExifBlockOf(image);
    if (ExifSaysAdobeRgb(reinterpret_cast<const unsigned char*>(exif.constData()), unsigned(exif.size())))
        SetIccProfile(image, AdobeRgbProfile());
}

// A CMYK picture is read through its profile into sRGB; one without a
// profile, or with one lcms2 cannot use, by the library's plain formula.
// Whatever profile is left must describe RGB pixels, or it goes.
void NormaliseColours(Magick::Image& img)
{
    img.modifyImage();
    MagickCore::Image* image = img.image();
    const QByteArray icc = Profile(image, "icc");
    if (img.colorSpace() == Magick::CMYKColorspace && ProfileSpace(icc) == "CMYK" && ColourManagementOn() &&
        PixelsToSrgb(img, icc, true))
        SetIccProfile(img.image(), {});
    NoteAdobeIndex(img.image());
    const auto cs = img.colorSpace();
    if (cs != Magick::sRGBColorspace && cs != Magick::RGBColorspace)
        img.colorSpace(Magick::sRGBColorspace);
    if (ProfileSpace(Profile(img.image(), "icc")) != "RGB ")
        SetIccProfile(img.image(), {});
}

// Formats that carry a profile keep the photo's; the others get its pixels
// converted to sRGB, the colours every reader assumes of them.
void MatchColoursTo(Magick::Image& img, int code)
{
    const QByteArray icc = Profile(img.image(), "icc");
    if (icc.isEmpty() || code == kJpg || code == kPng || code == kTif)
        return;
    // A profile lcms2 cannot use leaves the pixels as they are, as before.
    if (!IsSrgb(icc))
        PixelsToSrgb(img, icc, false);
    SetIccProfile(img.image(), {});
}

// The ICC profile of a HEIF file: a "colr" box of type "prof" among the item
// properties in its "meta" box, which this library's HEIF reader leaves
// behind. Phones describe their wide-gamut colours this way.
QByteArray HeifIccProfile(const QByteArray& file)
{
    const auto* d = reinterpret_cast<const unsigned char*>(file.constData());
    for (quint64 at = 0; at + 8 <= quint64(file.size());) {
        quint64 size = Be32(d + at);
        if (size == 0)
            size = quint64(file.size()) - at;
        if (size < 8 || size > quint64(file.size()) - at)
            return {};
        if (file.mid(qsizetype(at) + 4, 4) == "meta") {
            const QByteArray meta = file.mid(qsizetype(at), qsizetype(size));
            for (qsizetype c = meta.indexOf("colrprof"); c >= 4; c = meta.indexOf("colrprof", c + 1)) {
                const quint32 box = Be32(reinterpret_cast<const unsigned char*>(meta.constData()) + c - 4);
                if (box > 12 && c - 4 + qsizetype(box) <= meta.size())
                    return meta.mid(c + 8, qsizetype(box) - 12);
            }
            return {};
        }
        at += size;
    }
    return {};
}

// Stands the picture upright. HEIF readers turn the pixels by the file's own
// rotation and mirror boxes, of which the EXIF tag is only a copy: turning by
// it too would turn a phone's photo twice. WebP has no orientation but the
// EXIF tag, which its reader does not look at. Whatever was turned, the EXIF
// block that goes out with the picture then says upright.
void Upright(Magick::Image& img, FormatId kind)
{
    img.modifyImage();
    QByteArray exif = ExifBlockOf(img.image());
    auto* bytes = reinterpret_cast<unsigned char*>(exif.data());
    if (kind == FormatId::WebP && !exif.isEmpty())
        img.orientation(Magick::OrientationType(ExifOrientation(bytes, unsigned(exif.size()))));
    img.autoOrient();
    if (!exif.isEmpty()) {
        ClearExifOrientation(bytes, unsigned(exif.size()));
        SetProfile(img.image(), "exif", exif);
    }
}

// What the album works with: upright, 8-bit RGB, no transparency. Alpha is
// composited onto black, the album's transparent colour, so a transparent
// background stays out of the way of captions and frames.
void Normalise(Magick::Image& img, FormatId kind)
{
    Upright(img, kind);
    NormaliseColours(img);
    if (img.matte()) {
        img.backgroundColor(Magick::ColorRGB(0.0, 0.0, 0.0));
        img.alphaChannel(Magick::RemoveAlphaChannel);
        img.matte(false);
    }
    img.depth(8);
    img.type(Magick::TrueColorType);
}

// An 8-bit sample at the library's 16 bits (the Q16 build it is linked with).
static_assert(sizeof(MagickCore::Quantum) == 2);
constexpr MagickCore::Quantum FromByte(unsigned v) { return MagickCore::Quantum(v * 257); }

// The library's picture of libheif's planes, filled a band of rows on each
// core, each through a cache view of its own, when the picture is held in
// memory; a picture too large for that, kept on disk, takes one writer.
MagickCore::Image* FromPlanes(const HeifPicture& picture)
{
    MagickCore::Image* image = MagickCore::AcquireImage(nullptr);
    if (!image || !MagickCore::SetImageExtent(image, size_t(picture.width), size_t(picture.height))) {
        if (image)
            MagickCore::DestroyImage(image);
        return nullptr;
    }
    const int shift = picture.bits - 8;
    // Wider samples are rounded to eight bits, as the album keeps them.
    const auto wide = [shift](const uint8_t* row, int x) {
        const uint32_t v = (reinterpret_cast<const uint16_t*>(row)[x] + (1u << shift >> 1)) >> shift;
        return FromByte(std::min(v, 255u));
    };
    std::atomic<bool> failed = false;
    const auto band = [&](int from, int to) {
        ExceptionPtr bandEx(MagickCore::AcquireExceptionInfo());
        MagickCore::CacheView* view = MagickCore::AcquireAuthenticCacheView(image, bandEx.get());
        bool ok = view != nullptr;
        for (int y = from; y < to && ok; ++y) {
            MagickCore::PixelPacket* q =
                MagickCore::QueueCacheViewAuthenticPixels(view, 0, y, size_t(picture.width), 1, bandEx.get());
            ok = q != nullptr;
            const uint8_t* rows[3];
            for (int c = 0; c < 3; ++c)
                rows[c] = picture.planes[c] + size_t(y) * size_t(picture.strides[c]);
            for (int x = 0; ok && x < picture.width; ++x, ++q) {
                q->red = shift ? wide(rows[0], x) : FromByte(rows[0][x]);
                q->green = shift ? wide(rows[1], x) : FromByte(rows[1][x]);
                q->blue = shift ? wide(rows[2], x) : FromByte(rows[2][x]);
                q->opacity = 0;   // opaque
            }
            ok = ok && MagickCore::SyncCacheViewAuthenticPixels(view, bandEx.get());
        }
        if (view)
            MagickCore::DestroyCacheView(view);
        if (!ok)
            failed = true;
    };
    const MagickCore::CacheType cache = MagickCore::GetImagePixelCacheType(image);
    if (cache == MagickCore::MemoryCache || cache == MagickCore::MapCache)
        OnEveryCore(picture.height, band);
    else
        band(0, picture.height);
    if (failed) {
        MagickCore::DestroyImage(image);
        return nullptr;
    }
    image->depth = 8;
    return image;
}

// A HEIF or AVIF photo through libheif, which decodes it on every core; an
// empty handle when libheif cannot, and the library's own reader is asked.
// The pixels are already turned by the file's rotation and mirror boxes and
// carry no orientation of their own, so Upright only resets the EXIF tag.
std::optional<HeifPicture> ReadHeifBytes(const QByteArray& bytes, FormatId kind, QSize atMost = {})
{
    const auto sizeAllowed = [&bytes](uint64_t w, uint64_t h) {
        return w <= kMaxSide && h <= kMaxSide && w * h <= kMaxArea && AreaFits(w * h, size_t(bytes.size()));
    };
    return ReadHeif(bytes, kind == FormatId::Avif ? HeifCoding::Av1 : HeifCoding::Hevc, sizeAllowed, atMost);
}

ImageHandle LoadHeif(const QByteArray& bytes, FormatId kind)
{
    const std::optional<HeifPicture> picture = ReadHeifBytes(bytes, kind);
    if (!picture)
        return {};
    MagickCore::Image* image = FromPlanes(*picture);
    if (!image)
        return {};
    auto impl = std::make_unique<ImageHandle::Impl>();
    impl->image = Magick::Image(image);   // takes ownership
    impl->image.quiet(true);
    if (!picture->exif.isEmpty())
        SetProfile(image, "exif", picture->exif);
    SetIccProfile(image, picture->icc);
    Normalise(impl->image, kind);
    return ImageHandle(std::move(impl));
}

// The photo's bytes, or nothing for what is not a plain file of sensible size
// (a folder, a device or pipe that would never end, a file beyond any photo).
QByteArray ReadWholeFile(const QString& path)
{
    QFile f;
    if (OpenRegularFile(path, f) != OpenResult::Opened || f.size() > kMaxFileBytes)
        return {};
    return f.readAll();
}

}  // namespace

void InitImageLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        Magick::ResourceLimits::width(kMaxSide);
        Magick::ResourceLimits::height(kMaxSide);
        Magick::ResourceLimits::area(kMaxArea);
        Magick::ResourceLimits::memory(kMaxMemory);
        Magick::ResourceLimits::map(kMaxMap);
        Magick::ResourceLimits::disk(kMaxDisk);
        Magick::ResourceLimits::listLength(kMaxFrames);
    });
}

namespace {

// The photo's bytes and the table's format for them; nothing for a file
// that is not one of its formats.
struct PhotoBytes {
    QByteArray bytes;
    const ImageFormat* format = nullptr;
};

PhotoBytes ReadPhoto(const QString& path)
{
    PhotoBytes photo{ReadWholeFile(path)};
    if (!photo.bytes.isEmpty()) {
        const std::string_view head(photo.bytes.constData(), size_t(std::min<qsizetype>(photo.bytes.size(), 16)));
        photo.format = FormatOfFile(path, head);
    }
    return photo;
}

bool IsHeif(FormatId id) { return id == FormatId::Heic || id == FormatId::Avif; }

// The bytes of a file of format, read by the library into one upright
// image in its normal colours; none for bytes it cannot take.
ImageHandle DecodeOne(const ImageFormat& format, const QByteArray& bytes)
{
    if (!ClaimFits(format, bytes.constData(), size_t(bytes.size())))
        return {};
    ImageListPtr list = Decode(format, bytes.constData(), size_t(bytes.size()));
    if (!list)
        return {};
    MagickCore::Image* one = TakeOne(list, format.id);
    list.reset();
    if (!one || one->columns == 0 || one->rows == 0) {
        if (one)
            MagickCore::DestroyImage(one);
        return {};
    }
    auto impl = std::make_unique<ImageHandle::Impl>();
    impl->image = Magick::Image(one);   // takes ownership
    impl->image.quiet(true);
    if (IsHeif(format.id) && Profile(one, "icc").isEmpty()) {
        if (const QByteArray icc = HeifIccProfile(bytes); !icc.isEmpty())
            SetIccProfile(one, icc);
    }
    Normalise(impl->image, format.id);
    return ImageHandle(std::move(impl));
}

// A HEIF or AVIF photo for the screen, no larger than needed to cover
// atMost: from libheif's planes straight into a surface, in the colours the
// image library's way gives it (its RGB profile, else the EXIF Adobe RGB
// index), its true size kept. "Not mine" when libheif cannot read it: the
// image library's way then reads it whole.
Decoded ReadHeifForScreen(const QString& path, QSize atMost)
{
    PhotoBytes photo = ReadPhoto(path);
    if (!photo.format || !IsHeif(photo.format->id) || !LengthsFit(photo.format->id, photo.bytes))
        return Decoded::NotMine();
    std::optional<HeifPicture> picture = ReadHeifBytes(photo.bytes, photo.format->id, atMost);
    photo.bytes.clear();   // the picture keeps what it needs of the file
    if (!picture)
        return Decoded::NotMine();
    Surface shown;
    if (const Outcome made = shown.Create(picture->width, picture->height); !made)
        return Decoded::Refused(made.message);
    const int shift = picture->bits - 8;
    const auto sample = [&](int c, int x, int y) -> uint8_t {
        const uint8_t* row = picture->planes[c] + size_t(y) * size_t(picture->strides[c]);
        if (!shift)
            return row[x];
        return uint8_t(std::min((reinterpret_cast<const uint16_t*>(row)[x] + (1u << shift >> 1)) >> shift, 255u));
    };
    OnEveryCore(picture->height, [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            uint8_t* bgr = shown.RowPtr(y);
            for (int x = 0; x < picture->width; ++x, bgr += 3) {
                bgr[0] = sample(2, x, y);
                bgr[1] = sample(1, x, y);
                bgr[2] = sample(0, x, y);
            }
        }
    });
    QByteArray icc = picture->icc;
    if (icc.isEmpty() && ExifSaysAdobeRgb(reinterpret_cast<const unsigned char*>(picture->exif.constData()),
                                          unsigned(picture->exif.size())))
        icc = AdobeRgbProfile();
    shown.SetFullSize(picture->fullWidth, picture->fullHeight);
    picture.reset();   // libheif's planes, no longer needed beside the surface
    if (ProfileSpace(icc) != "RGB ")
        icc.clear();
    ShowInDisplayColours(icc, shown);
    return Decoded::Of(std::move(shown));
}

}  // namespace

ImageHandle LoadImageFile(const QString& path)
{
    InitImageLibrary();
    const PhotoBytes photo = ReadPhoto(path);
    if (!photo.format)
        return {};
    const QByteArray& bytes = photo.bytes;
    const ImageFormat& format = *photo.format;
    // The library's JPEG decoder fills a lying or cut-off file's missing rows
    // with grey before the read is refused; the header tells it at once.
    if (format.id == FormatId::Jpeg) {
        const JpegClaim claim =
            CheckJpegClaim(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()));
        if (claim == JpegClaim::TooLarge || claim == JpegClaim::CutOff)
            return {};
    }
    if (!LengthsFit(format.id, bytes))
        return {};
    try {
        if (IsHeif(format.id))
            if (ImageHandle heif = LoadHeif(bytes, format.id); heif.IsValid())
                return heif;
        return DecodeOne(format, bytes);
    } catch (const std::exception&) {
        return {};
    }
}

ImageHandle ImageOfPicture(const Surface& picture, const QByteArray& icc)
{
    InitImageLibrary();
    // The library takes the picture as the BMP the album writes of it, in
    // memory: whatever is made of it then is what is made of that BMP file.
    const QByteArray bmp = picture.BmpBytes(std::string_view(icc.constData(), size_t(icc.size())));
    if (bmp.isEmpty())
        return {};
    try {
        return DecodeOne(*FormatWithEnding(QStringLiteral("bmp")), bmp);
    } catch (const std::exception&) {
        return {};
    }
}

Decoded ReadWithImageLibrary(const QString& path, QSize atMost)
{
    return ReadGuarded([&] {
        // A phone photo for the screen skips the library: decoded smaller
        // where it can be, it is on the screen in a fraction of the time.
        if (atMost.width() > 0 && atMost.height() > 0)
            if (Decoded forScreen = ReadHeifForScreen(path, atMost); !forScreen.IsNotMine())
                return forScreen;
        // Every refusal of the library reads as the one the album always gave it.
        const ImageHandle image = LoadImageFile(path);
        if (!image.IsValid())
            return Decoded::Refused(QString::fromUtf8(kErrLoad));
        const MagickCore::Image* picture = image.impl()->image.constImage();
        Surface loaded;
        if (const Outcome made = loaded.Create(int32_t(picture->columns), int32_t(picture->rows)); !made)
            return Decoded::Refused(made.message);
        // Upright 8-bit RGB already (Normalise): each row goes straight into
        // the surface's, in its byte order.
        ExceptionPtr ex(MagickCore::AcquireExceptionInfo());
        for (int y = 0; y < loaded.Height(); ++y)
            if (!MagickCore::ExportImagePixels(picture, 0, y, picture->columns, 1, "BGR", MagickCore::CharPixel,
                                               loaded.RowPtr(y), ex.get()))
                return Decoded::Refused(QString::fromUtf8(kErrLoad));
        ShowInDisplayColours(Profile(picture, "icc"), loaded);
        return Decoded::Of(std::move(loaded));
    });
}

QSize StatedPixelsPerMetre(const QString& path)
{
    InitImageLibrary();
    const PhotoBytes photo = ReadPhoto(path);
    if (!photo.format || !LengthsFit(photo.format->id, photo.bytes))
        return {};
    ImageInfoPtr info = InfoFor(*photo.format);
    ExceptionPtr ex(MagickCore::AcquireExceptionInfo());
    if (!info || !ex)
        return {};
    info->ping = MagickCore::MagickTrue;
    ImageListPtr list(MagickCore::PingBlob(info.get(), photo.bytes.constData(), size_t(photo.bytes.size()), ex.get()));
    if (!list)
        return {};
    MagickCore::Image* one = TakeOne(list, photo.format->id);
    list.reset();
    if (!one)
        return {};
    // As the library's BMP writer states it: per centimetre times a hundred,
    // anything else taken as per inch; cut to whole pixels.
    const double perMetre = one->units == MagickCore::PixelsPerCentimeterResolution ? 100.0 : 100.0 / 2.54;
    const auto whole = [perMetre](double resolution) {
        const double v = perMetre * resolution;
        return v >= 0 && v < 4294967296.0 ? int(unsigned(v)) : 0;
    };
    const QSize stated(whole(one->x_resolution), whole(one->y_resolution));
    MagickCore::DestroyImage(one);
    return stated;
}

bool CanRead(const ImageFormat& format)
{
    // libheif reads HEIF and AVIF first; the image library reads them when it cannot.
    if ((format.id == FormatId::Heic && CanDecodeHeif(HeifCoding::Hevc)) ||
        (format.id == FormatId::Avif && CanDecodeHeif(HeifCoding::Av1)))
        return true;
    InitImageLibrary();
    try {
        return Magick::CoderInfo(format.decoder).isReadable();
    } catch (const std::exception&) {
        return false;
    }
}

QDateTime ImageHandle::TakenAt() const
{
    if (!impl_)
        return {};
    const QByteArray exif = ExifBlockOf(impl_->image.constImage());
    const ExifTaken t = ExifDateTaken(reinterpret_cast<const unsigned char*>(exif.constData()), unsigned(exif.size()));
    QDateTime when = QDateTime::fromString(t.local, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (!when.isValid())
        return {};
    // Without the camera's zone the time is taken as the album's own, China
    // time, in which the info line shows every file's date.
    const QTime offset = QTime::fromString(t.offset.mid(1), QStringLiteral("HH:mm"));
    const int seconds = offset.isValid() ? offset.msecsSinceStartOfDay() / 1000 * (t.offset.startsWith('-') ? -1 : 1)
                                         : 8 * 3600;
    when.setTimeZone(QTimeZone(seconds));
    return when;
}

Outcome WriteImageFile(ImageHandle handle, SafeWrite& out, int code)
{
    // The handle is taken by value: whatever happens here, its picture is
    // released when this returns.
    const Outcome unusable = Outcome::Failed(QStringLiteral("没有可以写出的图像"));
    if (!handle.IsValid() || code < kBmp || code > kPng)
        return unusable;
    Magick::Image& img = handle.impl()->image;
    if (code == kIco && (img.columns() > kMaxIconSide || img.rows() > kMaxIconSide))
        return unusable;

    const char* format = "";
    // Encoded in memory first: a failed write then has exactly the system's
    // reason, and the file goes out through the one checked, synced path.
    Magick::Blob encoded;
    try {
        img.quiet(true);
        MatchColoursTo(img, code);
        switch (code) {
        case kBmp:
            // The 40-byte header every BMP reader knows, 24 bits a pixel.
            format = "BMP3";
            break;
        case kJpg:
            format = "JPEG";
            img.quality(92);
            break;
        case kPcx:
            format = "PCX";
            break;
        case kTga:
            // The TGA writer stores rows in memory order and labels them by the
            // picture's orientation; store them bottom-up, the format's own
            // default that every reader follows.
            format = "TGA";
            img.compressType(Magick::NoCompression);
            img.flip();
            img.orientation(Magick::BottomLeftOrientation);
            break;
        case kIco:
            format = "ICO";
            break;
        case kTif:
            format = "TIFF";
            img.compressType(Magick::LZWCompression);
            break;
        case kPng:
            // zlib level 5 with adaptive row filters: on photos as small as
            // the library's default (level 7), in about half the time.
            format = "PNG24";
            img.quality(55);
            break;
        }
        img.magick(format);
        img.write(&encoded);
    } catch (const std::exception&) {
        return Outcome::Failed(QStringLiteral("图像库无法写出 %1 格式").arg(QLatin1String(format)));
    }
    if (encoded.length() == 0)
        return Outcome::Failed(QStringLiteral("图像库无法写出 %1 格式").arg(QLatin1String(format)));
    out.Write(static_cast<const char*>(encoded.data()), qint64(encoded.length()));
    return out.Finish();
}

Outcome SaveImageFile(ImageHandle handle, const QString& path, int code)
{
    // Written beside the target and renamed over it only when complete, so a
    // failed save never leaves a half file or destroys the file it replaces.
    SafeWrite out(path);
    if (const Outcome written = WriteImageFile(std::move(handle), out, code); !written)
        return written;
    return out.Commit();
}

}  // namespace tamsel
