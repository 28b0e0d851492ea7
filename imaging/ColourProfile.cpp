#include "imaging/ColourProfile.h"

#include "model/Surface.h"

#include <QHash>

#include <lcms2.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace tamsel {
namespace {

struct ProfileClose {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
using ProfilePtr = std::unique_ptr<void, ProfileClose>;

// An empty profile stands for sRGB.
ProfilePtr Open(const QByteArray& icc)
{
    if (icc.isEmpty())
        return ProfilePtr(cmsCreate_sRGBProfile());
    return ProfilePtr(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
}

cmsUInt32Number LcmsFormat(PixelFormat f)
{
    switch (f) {
    case PixelFormat::Bgr8: return TYPE_BGR_8;
    case PixelFormat::Rgb16: return TYPE_RGB_16;
    case PixelFormat::Cmyk8: return TYPE_CMYK_8;
    case PixelFormat::Cmyk8Inverted: return TYPE_CMYK_8_REV;
    case PixelFormat::Cmyk16: return TYPE_CMYK_16;
    }
    return 0;
}

QByteArray SaveToBytes(cmsHPROFILE p)
{
    cmsUInt32Number n = 0;
    QByteArray bytes;
    if (p && cmsSaveProfileToMem(p, nullptr, &n) && n > 0) {
        bytes.resize(qsizetype(n));
        if (!cmsSaveProfileToMem(p, bytes.data(), &n))
            bytes.clear();
    }
    return bytes;
}

// One transform between two profiles, or the note that there is none.
struct Transform {
    QByteArray from, to;
    size_t fromHash = 0, toHash = 0;
    PixelFormat in{}, out{};
    cmsHTRANSFORM handle = nullptr;
    ~Transform()
    {
        if (handle)
            cmsDeleteTransform(handle);
    }
};

cmsHTRANSFORM Build(const QByteArray& from, const QByteArray& to, PixelFormat in, PixelFormat out)
{
    const ProfilePtr src = Open(from);
    const ProfilePtr dst = Open(to);
    if (!src || !dst)
        return nullptr;
    // No shared one-pixel cache: the decode thread and the window's thread
    // may use one transform at the same time.
    cmsUInt32Number flags = cmsFLAGS_NOCACHE;
    cmsUInt32Number intent = INTENT_PERCEPTUAL;
    if (!cmsIsCLUT(src.get(), INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT)) {
        intent = INTENT_RELATIVE_COLORIMETRIC;
        flags |= cmsFLAGS_BLACKPOINTCOMPENSATION;
    }
    return cmsCreateTransform(src.get(), LcmsFormat(in), dst.get(), LcmsFormat(out), intent, flags);
}

// Transforms and verdicts by profile. A camera's photos all carry the same
// profile, so the cache stays small; it is emptied when it grows past a
// folder's worth of different ones.
class Cache {
public:
    std::shared_ptr<const Transform> Get(const QByteArray& from, const QByteArray& to, PixelFormat in,
                                         PixelFormat out)
    {
        const size_t fh = qHash(from), th = qHash(to);
        std::lock_guard<std::mutex> lock(m_);
        for (const auto& t : transforms_)
            if (t->fromHash == fh && t->toHash == th && t->in == in && t->out == out && t->from == from &&
                t->to == to)
                return t;
        if (transforms_.size() >= kMaxKept)
            transforms_.clear();
        auto t = std::make_shared<Transform>();
        t->from = from;
        t->to = to;
        t->fromHash = fh;
        t->toHash = th;
        t->in = in;
        t->out = out;
        t->handle = Build(from, to, in, out);
        transforms_.push_back(t);
        return t;
    }

private:
    static constexpr size_t kMaxKept = 32;
    std::mutex m_;
    std::vector<std::shared_ptr<const Transform>> transforms_;
};

Cache& Transforms()
{
    static Cache cache;
    return cache;
}

struct DisplayState {
    std::mutex m;
    QByteArray profile;
};
DisplayState& Display()
{
    static DisplayState d;
    return d;
}
std::atomic<bool> g_managed{true};

}  // namespace

void SetColourManagement(bool on) { g_managed = on; }
bool ColourManagementOn() { return g_managed; }

void SetDisplayProfile(const QByteArray& icc)
{
    // A display that is sRGB, or whose profile cannot take RGB colours, is
    // treated as sRGB: photos then look as they would without a profile.
    QByteArray use;
    const uint8_t white[3] = {255, 255, 255};
    uint8_t out[3];
    if (!icc.isEmpty() && !IsSrgb(icc) &&
        ConvertPixels({}, icc, PixelFormat::Bgr8, PixelFormat::Bgr8, white, 3, out, 3, 1, 1))
        use = icc;
    std::lock_guard<std::mutex> lock(Display().m);
    Display().profile = use;
}

QByteArray DisplayProfile()
{
    std::lock_guard<std::mutex> lock(Display().m);
    return Display().profile;
}

const QByteArray& AdobeRgbProfile()
{
    static const QByteArray bytes = [] {
        // Adobe RGB (1998): its primaries, the D65 white and a pure gamma of 563/256.
        const cmsCIExyY white = {0.3127, 0.3290, 1.0};
        const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
        cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256.0);
        cmsToneCurve* curves[3] = {gamma, gamma, gamma};
        ProfilePtr p(gamma ? cmsCreateRGBProfile(&white, &primaries, curves) : nullptr);
        if (gamma)
            cmsFreeToneCurve(gamma);
        if (!p)
            return QByteArray();
        if (cmsMLU* text = cmsMLUalloc(nullptr, 1)) {
            cmsMLUsetASCII(text, "en", "US", "Compatible with Adobe RGB (1998)");
            cmsWriteTag(p.get(), cmsSigProfileDescriptionTag, text);
            cmsMLUfree(text);
        }
        cmsMD5computeID(p.get());
        return SaveToBytes(p.get());
    }();
    return bytes;
}

const QByteArray& SrgbProfile()
{
    static const QByteArray bytes = [] {
        const ProfilePtr p(cmsCreate_sRGBProfile());
        return SaveToBytes(p.get());
    }();
    return bytes;
}

bool IsSrgb(const QByteArray& icc)
{
    if (icc.isEmpty())
        return true;
    static std::mutex m;
    static QHash<QByteArray, bool> known;
    {
        std::lock_guard<std::mutex> lock(m);
        if (const auto it = known.constFind(icc); it != known.constEnd())
            return *it;
    }
    // Five levels of each channel, every combination: an sRGB profile maps
    // all of them onto themselves.
    constexpr int kLevels = 5;
    std::vector<uint8_t> grid, back(kLevels * kLevels * kLevels * 3);
    for (int r = 0; r < kLevels; ++r)
        for (int g = 0; g < kLevels; ++g)
            for (int b = 0; b < kLevels; ++b)
                for (int v : {b, g, r})
                    grid.push_back(uint8_t(std::min(255, v * 64)));
    const int n = int(grid.size() / 3);
    bool same = ConvertPixels(icc, {}, PixelFormat::Bgr8, PixelFormat::Bgr8, grid.data(), grid.size(),
                              back.data(), back.size(), n, 1);
    for (size_t i = 0; same && i < grid.size(); ++i)
        same = std::abs(int(grid[i]) - int(back[i])) <= 1;
    std::lock_guard<std::mutex> lock(m);
    if (known.size() > 64)
        known.clear();
    known.insert(icc, same);
    return same;
}

bool ConvertPixels(const QByteArray& from, const QByteArray& to, PixelFormat in, PixelFormat out,
                   const void* src, size_t srcStride, void* dst, size_t dstStride, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    const std::shared_ptr<const Transform> t = Transforms().Get(from, to, in, out);
    if (!t->handle)
        return false;
    cmsDoTransformLineStride(t->handle, src, dst, cmsUInt32Number(width), cmsUInt32Number(height),
                             cmsUInt32Number(srcStride), cmsUInt32Number(dstStride), 0, 0);
    return true;
}

bool ShowInDisplayColours(const QByteArray& icc, Surface& photo)
{
    if (!ColourManagementOn() || icc.isEmpty() || !photo.HasPixels())
        return false;
    const QByteArray display = DisplayProfile();
    if (IsSrgb(icc))
        return false;
    // A photo already in the display's space needs no transform, but its
    // pixels are the display's all the same.
    if (icc == display) {
        photo.SetInDisplayColours(true);
        return false;
    }
    uint8_t* bits = photo.DataPtr();
    const bool done = ConvertPixels(icc, display, PixelFormat::Bgr8, PixelFormat::Bgr8, bits,
                                    size_t(photo.Stride()), bits, size_t(photo.Stride()), photo.Width(),
                                    photo.Height());
    photo.SetInDisplayColours(done && !display.isEmpty());
    return done;
}

QByteArray PixelProfile(const Surface& photo)
{
    return photo.InDisplayColours() ? DisplayProfile() : QByteArray();
}

QImage SrgbPicture(const Surface& photo)
{
    QImage picture = photo.ToQImage();
    const QByteArray from = PixelProfile(photo);
    if (from.isEmpty() || picture.isNull())
        return picture;
    // The surface's rows are converted straight into the picture's: the
    // picture's RGB888 rows run top-down, the surface's bottom-up.
    QImage srgb(picture.size(), QImage::Format_BGR888);
    const int h = photo.Height();
    for (int y = 0; y < h; ++y)
        if (!ConvertPixels(from, {}, PixelFormat::Bgr8, PixelFormat::Bgr8, photo.RowPtr(y), size_t(photo.Stride()),
                           srgb.scanLine(y), size_t(srgb.bytesPerLine()), photo.Width(), 1))
            return picture;
    return srgb.convertToFormat(QImage::Format_RGB888);
}

}  // namespace tamsel
