// Reading a picture file into a surface: the album's own readers, the
// platform's picture loading behind them, and the choice between those and
// the image file library.
#include "imaging/Decode.h"

#include "imaging/ColourProfile.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFormats.h"
#include "platform/SafeOpen.h"

#include <QImage>
#include <QImageReader>

#include <atomic>

namespace tamsel {

namespace {

std::atomic<long long> gLimitMs{kDecodeTimeLimit.count()};
std::atomic<bool> gStopped{false};

}  // namespace

DecodeWatch::DecodeWatch()
    : until_(std::chrono::steady_clock::now() + std::chrono::milliseconds(gLimitMs.load(std::memory_order_relaxed)))
{
}

bool DecodeWatch::Expired() const
{
    return gStopped.load(std::memory_order_relaxed) || std::chrono::steady_clock::now() > until_;
}

void SetDecodeTimeLimit(std::chrono::milliseconds limit) { gLimitMs.store(limit.count()); }

void StopDecodes(bool stop) { gStopped.store(stop); }

namespace {

Decoded ReadDirectly(const QString& path, QSize atMost)
{
    for (const ImageFormat& f : ImageFormats()) {
        if (!f.reader)
            continue;
        if (Decoded d = f.reader(path, atMost); !d.IsNotMine())
            return d;
    }
    return ReadWithPlatform(path);
}

}  // namespace

// The platform's picture loading: what the album's own readers leave of the
// files named like theirs (a palette BMP, a CMYK JPEG without a profile).
Decoded ReadWithPlatform(const QString& path)
{
    return ReadGuarded([&] {
        QImageReader reader(path);
        // Phones and cameras store the picture sideways with a tag that says how to turn it.
        reader.setAutoTransform(true);
        const QImage img = reader.read();
        if (img.isNull())
            return Decoded::NotMine();
        Surface loaded;
        if (const Outcome cloned = loaded.Clone(img, true); !cloned)
            return Decoded::Refused(cloned.message);
        return Decoded::Of(std::move(loaded));
    });
}

Decoded DecodePicture(const QString& path, QSize atMost)
{
    // A pipe or a device named like a photo would keep every reader waiting.
    if (!IsRegularFile(path))
        return Decoded::Refused(QString::fromUtf8(kErrLoad));
    Decoded d = ReadsDirectly(path) ? ReadDirectly(path, atMost) : ReadWithImageLibrary(path, atMost);
    if (d.IsNotMine())
        return Decoded::Refused(QString::fromUtf8(kErrLoad));
    return d;
}

}  // namespace tamsel
