#include "platform/Gbk.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace tamsel {
namespace {

// iconv converters are cheap to keep and costly to open; one per direction.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    // Converts the whole input; returns false at the first unconvertible sequence.
    bool Convert(const QByteArray& in, QByteArray& out)
    {
        std::lock_guard lock(mutex_);
        out.clear();
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.constData());
        size_t left = size_t(in.size());
        QByteArray buf(in.size() * 4 + 16, '\0');
        char* dst = buf.data();
        size_t room = size_t(buf.size());
        if (iconv(cd_, &src, &left, &dst, &room) == size_t(-1))
            return false;
        if (iconv(cd_, nullptr, nullptr, &dst, &room) == size_t(-1))
            return false;
        buf.truncate(buf.size() - qsizetype(room));
        out = buf;
        return true;
    }

private:
    iconv_t cd_;
    std::mutex mutex_;
};

Converter& ToCp936() { static Converter c("CP936", "UTF-8"); return c; }
Converter& ToGb18030() { static Converter c("GB18030", "UTF-8"); return c; }
Converter& FromCp936() { static Converter c("UTF-8", "CP936"); return c; }
Converter& FromGb18030() { static Converter c("UTF-8", "GB18030"); return c; }

}  // namespace

QByteArray ToGbk(const QString& text)
{
    QByteArray out;
    if (ToCp936().Convert(text.toUtf8(), out))
        return out;
    // Character by character, so only what GBK lacks takes the longer form.
    QByteArray result;
    for (int i = 0; i < text.size();) {
        const int len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QByteArray utf8 = text.mid(i, len).toUtf8();
        QByteArray piece;
        if (ToCp936().Convert(utf8, piece) || ToGb18030().Convert(utf8, piece))
            result += piece;
        else
            result += '?';
        i += len;
    }
    return result;
}

QString FromGbk(const QByteArray& bytes)
{
    QByteArray out;
    if (FromCp936().Convert(bytes, out))
        return QString::fromUtf8(out);
    if (FromGb18030().Convert(bytes, out))
        return QString::fromUtf8(out);
    // Neither reads it whole: read byte runs, keeping what can be read.
    QString result;
    int i = 0;
    while (i < bytes.size()) {
        const uint8_t b = uint8_t(bytes[i]);
        int len = b < 0x80 ? 1 : 2;
        if (b >= 0x81 && i + 1 < bytes.size()) {
            const uint8_t b2 = uint8_t(bytes[i + 1]);
            if (b2 >= 0x30 && b2 <= 0x39)
                len = 4;
        }
        const QByteArray piece = bytes.mid(i, len);
        if (FromCp936().Convert(piece, out) || FromGb18030().Convert(piece, out))
            result += QString::fromUtf8(out);
        else
            result += QChar(0xFFFD);
        i += len;
    }
    return result;
}

int GbkLength(const QString& text) { return int(ToGbk(text).size()); }

}  // namespace tamsel
