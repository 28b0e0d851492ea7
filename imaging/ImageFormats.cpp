#include "imaging/ImageFormats.h"

#include "imaging/BmpReader.h"
#include "imaging/JpegReader.h"

#include <algorithm>

namespace tamsel {
namespace {

using namespace std::string_view_literals;

bool Opens(std::string_view head, std::string_view magic) { return head.substr(0, magic.size()) == magic; }
// The bytes [at, at + n) of the head, fewer or none where it is shorter.
std::string_view Part(std::string_view head, size_t at, size_t n)
{
    return at <= head.size() ? head.substr(at, n) : std::string_view();
}

Recognised Sure(bool yes) { return yes ? Recognised::Surely : Recognised::No; }

Recognised Bmp(std::string_view h) { return Sure(Opens(h, "BM"sv)); }
Recognised Jpeg(std::string_view h) { return Sure(Opens(h, "\xFF\xD8\xFF"sv)); }
Recognised Png(std::string_view h) { return Sure(Opens(h, "\x89PNG\r\n\x1A\n"sv)); }
Recognised Tiff(std::string_view h)
{
    return Sure(Opens(h, "II*\0"sv) || Opens(h, "MM\0*"sv) || Opens(h, "II+\0"sv) || Opens(h, "MM\0+"sv));
}
// A placeable metafile announces itself; a plain one only by a short header.
Recognised Wmf(std::string_view h)
{
    if (Opens(h, "\xD7\xCD\xC6\x9A"sv))
        return Recognised::Surely;
    return Opens(h, "\x01\0\x09\0\0\x03"sv) || Opens(h, "\x02\0\x09\0\0\x03"sv) ? Recognised::Weakly
                                                                                : Recognised::No;
}
Recognised Ico(std::string_view h) { return Opens(h, "\0\0\1\0"sv) ? Recognised::Weakly : Recognised::No; }
Recognised Pcx(std::string_view h)
{
    return h.size() >= 3 && h[0] == '\x0A' && uint8_t(h[1]) <= 5 && h[2] == '\x01' ? Recognised::Weakly
                                                                                  : Recognised::No;
}
// TGA has no signature at all: only its name tells.
Recognised Tga(std::string_view) { return Recognised::No; }
Recognised WebP(std::string_view h) { return Sure(Opens(h, "RIFF"sv) && Part(h, 8, 4) == "WEBP"sv); }
// HEIF files open with an "ftyp" box naming their brand.
std::string_view Brand(std::string_view h) { return Part(h, 4, 4) == "ftyp"sv ? Part(h, 8, 4) : ""sv; }
Recognised Avif(std::string_view h)
{
    const std::string_view b = Brand(h);
    return Sure(b == "avif"sv || b == "avis"sv);
}
Recognised Heic(std::string_view h)
{
    const std::string_view b = Brand(h);
    return Sure(b == "heic"sv || b == "heix"sv || b == "heim"sv || b == "heis"sv || b == "hevc"sv ||
                b == "hevx"sv || b == "mif1"sv || b == "msf1"sv);
}

constexpr unsigned kAlbumAndOutput = kAlbumPhoto | kOutput;

const ImageFormat kFormats[] = {
    {FormatId::Bmp, "BMP", "BMP", {"bmp", "dib"}, Bmp, ReadBmp24, kBmp, kAlbumAndOutput},
    {FormatId::Jpeg, "JPEG", "JPEG", {"jpg", "jpeg", "jpe"}, Jpeg, ReadJpeg, kJpg, kAlbumAndOutput},
    {FormatId::Pcx, "PCX", "PCX", {"pcx"}, Pcx, nullptr, kPcx, kAlbumAndOutput},
    {FormatId::Tga, "TGA", "TGA", {"tga"}, Tga, nullptr, kTga, kAlbumAndOutput},
    {FormatId::Tiff, "TIFF", "TIFF", {"tif", "tiff"}, Tiff, nullptr, kTif, kAlbumAndOutput},
    {FormatId::Png, "PNG", "PNG", {"png"}, Png, nullptr, kPng, kAlbumAndOutput},
    {FormatId::Ico, "ICO", "ICO", {"ico"}, Ico, nullptr, kIco, kAlbumAndOutput},
    {FormatId::Wmf, "WMF", "WMF", {"wmf"}, Wmf, nullptr, -1, kAlbumPhoto},
    {FormatId::Heic, "HEIC", "HEIC", {"heic", "heif"}, Heic, nullptr, -1, kPhonePhoto},
    {FormatId::Avif, "AVIF", "AVIF", {"avif"}, Avif, nullptr, -1, kPhonePhoto},
    {FormatId::WebP, "WEBP", "WebP", {"webp"}, WebP, nullptr, -1, kPhonePhoto},
};

QString EndingOf(const QString& name)
{
    const int dot = int(name.lastIndexOf('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

}  // namespace

QStringList ImageFormat::Endings() const
{
    QStringList out;
    for (const char* e : endings)
        if (e)
            out << QString::fromLatin1(e);
    return out;
}

bool ImageFormat::HasEnding(const QString& ending) const
{
    return std::any_of(endings.begin(), endings.end(), [&](const char* e) {
        return e && ending.compare(QLatin1String(e), Qt::CaseInsensitive) == 0;
    });
}

std::span<const ImageFormat> ImageFormats() { return kFormats; }

const ImageFormat* FormatWithEnding(const QString& ending)
{
    for (const ImageFormat& f : kFormats)
        if (f.HasEnding(ending))
            return &f;
    return nullptr;
}

const ImageFormat* FormatOfFile(const QString& path, std::string_view head)
{
    for (const ImageFormat& f : kFormats)
        if (f.recognise(head) == Recognised::Surely)
            return &f;
    if (const QString ending = EndingOf(path.section('/', -1)); !ending.isEmpty())
        if (const ImageFormat* f = FormatWithEnding(ending))
            return f;
    for (const ImageFormat& f : kFormats)
        if (f.recognise(head) == Recognised::Weakly)
            return &f;
    return nullptr;
}

const QStringList& AlbumExtensions()
{
    static const QStringList endings = [] {
        QStringList e;
        for (const ImageFormat& f : kFormats)
            if (f.Is(kAlbumPhoto))
                e << f.Ending();
        return e;
    }();
    return endings;
}

namespace {

// "*.bmp", "*.jpg", ... for a file dialog's filter.
QStringList Globs(const QStringList& endings)
{
    QStringList globs;
    for (const QString& e : endings)
        globs.push_back(QStringLiteral("*.") + e);
    return globs;
}

}  // namespace

QString AlbumFileFilter()
{
    const QStringList globs = Globs(AlbumExtensions());
    return globs.join(',') + QStringLiteral(" (") + globs.join(' ') + ')';
}

bool IsAlbumPhoto(const QString& name)
{
    const QString ending = EndingOf(name);
    return !ending.isEmpty() && AlbumExtensions().contains(ending, Qt::CaseInsensitive);
}

bool ReadsDirectly(const QString& path)
{
    return std::any_of(std::begin(kFormats), std::end(kFormats), [&](const ImageFormat& f) {
        return f.reader && f.Is(kAlbumPhoto) && path.endsWith(QLatin1String(f.endings[0]));
    });
}

std::vector<const ImageFormat*> PhoneFormats()
{
    std::vector<const ImageFormat*> out;
    for (const ImageFormat& f : kFormats)
        if (f.Is(kPhonePhoto))
            out.push_back(&f);
    return out;
}

const QStringList& PhoneExtensions()
{
    static const QStringList endings = [] {
        QStringList e;
        for (const ImageFormat* f : PhoneFormats())
            e += f->Endings();
        return e;
    }();
    return endings;
}

QString PhoneFileFilter()
{
    return QStringLiteral("手机照片 (") + Globs(PhoneExtensions()).join(' ') + ')';
}

QString PhonePhotoKind(const QString& name)
{
    const QString ending = EndingOf(name);
    if (ending.isEmpty())
        return {};
    for (const ImageFormat* f : PhoneFormats())
        if (f->HasEnding(ending))
            return QString::fromLatin1(f->label);
    return {};
}

std::vector<const ImageFormat*> OutputFormats()
{
    std::vector<const ImageFormat*> out;
    for (const ImageFormat& f : kFormats)
        if (f.Is(kOutput))
            out.push_back(&f);
    std::sort(out.begin(), out.end(), [](const ImageFormat* a, const ImageFormat* b) { return a->code < b->code; });
    return out;
}

int OutputFormatOf(const QString& name)
{
    const QString tail = name.right(3);
    for (const ImageFormat* f : OutputFormats())
        if (tail == QLatin1String(f->endings[0]))
            return f->code;
    return -1;
}

QString OutputEnding(int code)
{
    for (const ImageFormat* f : OutputFormats())
        if (f->code == code)
            return f->Ending();
    return {};
}

}  // namespace tamsel
