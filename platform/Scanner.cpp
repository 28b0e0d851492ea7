#include "platform/Scanner.h"

#include "platform/QuitSignalRoute.h"

#include <QByteArray>
#include <QMutex>

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tamsel {
namespace {

// sane_init and sane_exit bracket every use of the backends; they are
// counted, so scanners and listings may overlap.
QMutex sessionLock;
int sessionUsers = 0;

Outcome AcquireSession()
{
    QMutexLocker lock(&sessionLock);
    if (sessionUsers == 0) {
        SANE_Int version = 0;
        const SANE_Status s = sane_init(&version, nullptr);
        ReassertQuitSignals();
        if (s != SANE_STATUS_GOOD)
            return Outcome::Failed(
                QStringLiteral("扫描仪接口 SANE 无法启动:%1").arg(QString::fromLocal8Bit(sane_strstatus(s))));
    }
    ++sessionUsers;
    return Outcome::Done();
}

void ReleaseSession()
{
    QMutexLocker lock(&sessionLock);
    if (sessionUsers > 0 && --sessionUsers == 0) {
        sane_exit();
        ReassertQuitSignals();
    }
}

QString StatusText(SANE_Status s)
{
    switch (s) {
    case SANE_STATUS_JAMMED: return QStringLiteral("卡纸了");
    case SANE_STATUS_NO_DOCS: return QStringLiteral("送纸器里没有纸");
    case SANE_STATUS_COVER_OPEN: return QStringLiteral("扫描仪的盖子开着");
    case SANE_STATUS_DEVICE_BUSY: return QStringLiteral("扫描仪正忙");
    case SANE_STATUS_IO_ERROR: return QStringLiteral("与扫描仪的连接出错(是否已拔下?)");
    case SANE_STATUS_NO_MEM: return QStringLiteral("内存不足");
    case SANE_STATUS_ACCESS_DENIED: return QStringLiteral("没有使用扫描仪的权限");
    default: return QString::fromLocal8Bit(sane_strstatus(s));
    }
}

// A sensible list from a resolution range: the usual steps inside it.
QList<int> ResolutionSteps(int lo, int hi)
{
    QList<int> out;
    for (int r : {50, 75, 100, 150, 200, 300, 400, 600, 1200, 2400})
        if (r >= lo && r <= hi)
            out << r;
    if (out.isEmpty())
        out << lo;
    return out;
}

// What the dialog preselects: the device's own resolution when it offers it,
// else the offered one nearest to it. Some devices report a default outside
// their own range (SANE's test device says 0 dpi); scanning at that gives a
// picture of a pixel or two.
int OfferedResolution(int current, const QList<int>& offered)
{
    if (offered.isEmpty() || offered.contains(current))
        return current;
    return *std::min_element(offered.begin(), offered.end(), [current](int a, int b) {
        return std::abs(a - current) < std::abs(b - current);
    });
}

}  // namespace

struct Scanner::Impl {
    SANE_Handle handle = nullptr;
    bool session = false;
    std::atomic<bool> cancel{false};

    int Find(const char* name) const
    {
        if (!handle)
            return -1;
        SANE_Int count = 0;
        if (sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
            return -1;
        for (int i = 1; i < count; ++i) {
            const SANE_Option_Descriptor* o = sane_get_option_descriptor(handle, i);
            if (o && o->name && std::strcmp(o->name, name) == 0)
                return i;
        }
        return -1;
    }

    const SANE_Option_Descriptor* Descriptor(int i) const
    {
        return i > 0 ? sane_get_option_descriptor(handle, i) : nullptr;
    }

    QString GetString(int i) const
    {
        const SANE_Option_Descriptor* o = Descriptor(i);
        if (!o || o->type != SANE_TYPE_STRING || !SANE_OPTION_IS_ACTIVE(o->cap))
            return {};
        QByteArray buf(std::max<int>(o->size, 1), '\0');
        if (sane_control_option(handle, i, SANE_ACTION_GET_VALUE, buf.data(), nullptr) != SANE_STATUS_GOOD)
            return {};
        return QString::fromLocal8Bit(buf.constData());
    }

    QStringList StringList(int i) const
    {
        QStringList out;
        const SANE_Option_Descriptor* o = Descriptor(i);
        if (o && SANE_OPTION_IS_ACTIVE(o->cap) && o->constraint_type == SANE_CONSTRAINT_STRING_LIST)
            for (const SANE_String_Const* s = o->constraint.string_list; *s; ++s)
                out << QString::fromLocal8Bit(*s);
        return out;
    }

    bool Set(int i, const QString& value)
    {
        const SANE_Option_Descriptor* o = Descriptor(i);
        if (!o || !SANE_OPTION_IS_ACTIVE(o->cap) || !SANE_OPTION_IS_SETTABLE(o->cap))
            return false;
        SANE_Int info = 0;
        switch (o->type) {
        case SANE_TYPE_STRING: {
            QByteArray buf = value.toLocal8Bit();
            if (buf.size() >= o->size)
                return false;
            buf.resize(o->size, '\0');
            return sane_control_option(handle, i, SANE_ACTION_SET_VALUE, buf.data(), &info) == SANE_STATUS_GOOD;
        }
        case SANE_TYPE_BOOL: {
            SANE_Bool b = (value == QLatin1String("yes") || value == QLatin1String("1")) ? SANE_TRUE : SANE_FALSE;
            return sane_control_option(handle, i, SANE_ACTION_SET_VALUE, &b, &info) == SANE_STATUS_GOOD;
        }
        case SANE_TYPE_INT:
        case SANE_TYPE_FIXED: {
            if (o->size != sizeof(SANE_Word))
                return false;   // vectors are not ours to set
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (!ok)
                return false;
            SANE_Word w = o->type == SANE_TYPE_INT ? SANE_Word(v) : SANE_FIX(v);
            return sane_control_option(handle, i, SANE_ACTION_SET_VALUE, &w, &info) == SANE_STATUS_GOOD;
        }
        default:
            return false;
        }
    }
};

Scanner::Scanner() : d_(std::make_unique<Impl>()) {}

Scanner::~Scanner() { Close(); }

Outcome Scanner::Devices(QList<ScanDevice>& out)
{
    out.clear();
    if (Outcome session = AcquireSession(); !session)
        return session;
    QString why;
    const SANE_Device** list = nullptr;
    const SANE_Status s = sane_get_devices(&list, SANE_FALSE);
    if (s != SANE_STATUS_GOOD) {
        why = QStringLiteral("无法列出扫描仪:%1").arg(StatusText(s));
    } else {
        for (; list && *list; ++list) {
            const SANE_Device* dev = *list;
            ScanDevice d;
            d.name = QString::fromLocal8Bit(dev->name);
            d.label = QStringLiteral("%1 %2 (%3)")
                          .arg(QString::fromLocal8Bit(dev->vendor), QString::fromLocal8Bit(dev->model),
                               QString::fromLocal8Bit(dev->type));
            out << d;
        }
    }
    ReleaseSession();
    return why.isEmpty() ? Outcome::Done() : Outcome::Failed(why);
}

Outcome Scanner::Open(const QString& name)
{
    Close();
    if (Outcome session = AcquireSession(); !session)
        return session;
    d_->session = true;
    const SANE_Status s = sane_open(name.toLocal8Bit().constData(), &d_->handle);
    ReassertQuitSignals();
    if (s != SANE_STATUS_GOOD) {
        d_->handle = nullptr;
        Close();
        return Outcome::Failed(QStringLiteral("扫描仪 %1 无法打开:%2").arg(name, StatusText(s)));
    }
    return Outcome::Done();
}

void Scanner::Close()
{
    if (d_->handle) {
        sane_close(d_->handle);
        d_->handle = nullptr;
    }
    if (d_->session) {
        d_->session = false;
        ReleaseSession();
    }
}

bool Scanner::IsOpen() const { return d_->handle != nullptr; }

ScanChoices Scanner::Choices() const
{
    ScanChoices c;
    if (!d_->handle)
        return c;
    const int source = d_->Find(SANE_NAME_SCAN_SOURCE);
    c.sources = d_->StringList(source);
    c.source = d_->GetString(source);
    const int mode = d_->Find(SANE_NAME_SCAN_MODE);
    c.modes = d_->StringList(mode);
    c.mode = d_->GetString(mode);

    const int res = d_->Find(SANE_NAME_SCAN_RESOLUTION);
    const SANE_Option_Descriptor* o = d_->Descriptor(res);
    if (o && SANE_OPTION_IS_ACTIVE(o->cap) && o->size == sizeof(SANE_Word) &&
        (o->type == SANE_TYPE_INT || o->type == SANE_TYPE_FIXED)) {
        auto value = [&](SANE_Word w) { return o->type == SANE_TYPE_INT ? int(w) : int(SANE_UNFIX(w)); };
        if (o->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
            const SANE_Word* list = o->constraint.word_list;
            for (int i = 1; i <= list[0]; ++i)
                c.resolutions << value(list[i]);
        } else if (o->constraint_type == SANE_CONSTRAINT_RANGE) {
            c.resolutions = ResolutionSteps(value(o->constraint.range->min), value(o->constraint.range->max));
        }
        SANE_Word now = 0;
        if (sane_control_option(d_->handle, res, SANE_ACTION_GET_VALUE, &now, nullptr) == SANE_STATUS_GOOD)
            c.resolution = value(now);
        c.resolution = OfferedResolution(c.resolution, c.resolutions);
    }
    return c;
}

bool Scanner::SetOption(const QString& name, const QString& value)
{
    return d_->Set(d_->Find(name.toLatin1().constData()), value);
}

void Scanner::Cancel()
{
    // Only a flag: the reading thread ends the scan between two reads. Some
    // backends' sane_cancel waits for their reader to finish the page, which
    // would hang whoever called it.
    d_->cancel = true;
}

ScanResult Scanner::Scan(const ScanSettings& settings, const std::function<void(int)>& progress)
{
    ScanResult r;
    d_->cancel = false;
    SANE_Handle h = d_->handle;
    if (!h) {
        r.why = QStringLiteral("没有打开扫描仪");
        return r;
    }
    if (!settings.source.isEmpty())
        SetOption(QStringLiteral(SANE_NAME_SCAN_SOURCE), settings.source);
    if (!settings.mode.isEmpty())
        SetOption(QStringLiteral(SANE_NAME_SCAN_MODE), settings.mode);
    if (settings.resolution > 0)
        SetOption(QStringLiteral(SANE_NAME_SCAN_RESOLUTION), QString::number(settings.resolution));

    auto stop = [&](SANE_Status s) {
        sane_cancel(h);
        ReassertQuitSignals();
        if (s == SANE_STATUS_CANCELLED || d_->cancel)
            r.cancelled = true;
        else
            r.why = QStringLiteral("扫描失败:%1").arg(StatusText(s));
        r.image = QImage();
        return r;
    };

    // Three-pass scanners send red, green and blue as frames of their own.
    QImage image;
    bool last = false;
    while (!last) {
        if (d_->cancel)
            return stop(SANE_STATUS_CANCELLED);
        SANE_Status s = sane_start(h);
        ReassertQuitSignals();   // the backend's reader may have reset them
        if (s != SANE_STATUS_GOOD)
            return stop(s);
        SANE_Parameters p{};
        s = sane_get_parameters(h, &p);
        if (s != SANE_STATUS_GOOD)
            return stop(s);
        last = p.last_frame;
        const bool rgb = p.format == SANE_FRAME_RGB;
        const int channels = rgb ? 3 : 1;
        if (p.pixels_per_line <= 0 || p.bytes_per_line <= 0 ||
            (p.depth != 1 && p.depth != 8 && p.depth != 16) ||
            p.bytes_per_line < (int64_t(p.pixels_per_line) * channels * p.depth + 7) / 8) {
            r.why = QStringLiteral("扫描仪送来的图像格式无法识别");
            sane_cancel(h);
            return r;
        }
        // The whole frame, however many lines it turns out to have.
        QByteArray data;
        const qint64 expected = p.lines > 0 ? qint64(p.lines) * p.bytes_per_line : 0;
        // Reserved from the device's own claim only as far as a real page
        // goes: a claim of billions of lines must not ask for exabytes.
        constexpr qint64 kMostReserved = qint64(1) << 30;
        if (expected > 0)
            data.reserve(std::min(expected, kMostReserved));
        QByteArray chunk(64 * 1024, '\0');
        for (;;) {
            if (d_->cancel)
                return stop(SANE_STATUS_CANCELLED);
            SANE_Int len = 0;
            s = sane_read(h, reinterpret_cast<SANE_Byte*>(chunk.data()), SANE_Int(chunk.size()), &len);
            ReassertQuitSignals();
            if (s == SANE_STATUS_EOF)
                break;
            if (s != SANE_STATUS_GOOD)
                return stop(s);
            data.append(chunk.constData(), len);
            if (progress && expected > 0)
                progress(int(std::min<qint64>(1000, data.size() * 1000 / expected)));
        }
        const int w = p.pixels_per_line;
        const int lines = int(data.size() / p.bytes_per_line);
        if (lines <= 0)
            return stop(SANE_STATUS_IO_ERROR);
        if (image.isNull() || image.width() != w || image.height() < lines) {
            QImage grown(w, lines, QImage::Format_RGB888);
            if (grown.isNull()) {
                sane_cancel(h);
                r.why = QStringLiteral("内存不足");
                return r;
            }
            grown.fill(Qt::black);
            image = grown;
        }
        // Which bytes of the RGB888 pixel this frame fills.
        int first = 0, count = 3;
        switch (p.format) {
        case SANE_FRAME_RED: first = 0; count = 1; break;
        case SANE_FRAME_GREEN: first = 1; count = 1; break;
        case SANE_FRAME_BLUE: first = 2; count = 1; break;
        default: break;
        }
        for (int y = 0; y < lines; ++y) {
            const auto* src = reinterpret_cast<const uint8_t*>(data.constData()) + qint64(y) * p.bytes_per_line;
            uint8_t* dst = image.scanLine(y);
            for (int x = 0; x < w; ++x) {
                for (int c = 0; c < channels; ++c) {
                    const int sample = x * channels + c;
                    uint8_t v;
                    if (p.depth == 8)
                        v = src[sample];
                    else if (p.depth == 16)   // samples in the machine's own byte order
                        v = uint8_t(reinterpret_cast<const uint16_t*>(src)[sample] >> 8);
                    else                      // line art: a set bit is black
                        v = (src[sample >> 3] & (0x80 >> (sample & 7))) ? 0 : 255;
                    if (rgb)
                        dst[3 * x + c] = v;
                    else if (count == 3)
                        dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = v;
                    else
                        dst[3 * x + first] = v;
                }
            }
        }
    }
    sane_cancel(h);   // ends the scan, as every frontend must after the last frame
    ReassertQuitSignals();
    if (progress)
        progress(1000);
    // A picture of a pixel or two is no photo: the device's settings were wrong.
    if (image.width() < 2 || image.height() < 2) {
        r.why = QStringLiteral("扫描仪送来的图像只有 %1×%2 像素,请换一个分辨率再扫描")
                    .arg(image.width())
                    .arg(image.height());
        return r;
    }
    r.image = image;
    return r;
}

}  // namespace tamsel
