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

bool InRange(uint8_t b, uint8_t lo, uint8_t hi) { return b >= lo && b <= hi; }

// Length of the code at i: 1 (ASCII, the euro sign 0x80, or a byte that starts
// no code), 2 (a GBK pair) or 4 (a GB18030 four-byte code). 0x80 is a whole
// character in code page 936, never the first of two bytes.
int CodeLength(const QByteArray& bytes, qsizetype i)
{
    const uint8_t b = uint8_t(bytes[i]);
    if (!InRange(b, 0x81, 0xFE) || i + 1 >= bytes.size())
        return 1;
    const uint8_t b2 = uint8_t(bytes[i + 1]);
    if (InRange(b2, 0x30, 0x39)) {
        if (i + 3 < bytes.size() && InRange(uint8_t(bytes[i + 2]), 0x81, 0xFE) &&
            InRange(uint8_t(bytes[i + 3]), 0x30, 0x39))
            return 4;
        return 1;
    }
    return (InRange(b2, 0x40, 0xFE) && b2 != 0x7F) ? 2 : 1;
}

// One code as text: code page 936 first, so the euro sign and every GBK pair
// read as the album always wrote them; GB18030 for the codes GBK lacks.
QString DecodeCode(const QByteArray& code)
{
    QByteArray out;
    if (code.size() == 1 && uint8_t(code[0]) < 0x80)
        return QString(QChar(uchar(code[0])));
    if (code.size() != 4 && FromCp936().Convert(code, out) && !out.isEmpty())
        return QString::fromUtf8(out);
    if (code.size() != 1 && FromGb18030().Convert(code, out) && !out.isEmpty())
        return QString::fromUtf8(out);
    return QString(QChar(QChar::ReplacementCharacter));
}

QString DecodeByCodes(const QByteArray& bytes)
{
    QString result;
    for (qsizetype i = 0; i < bytes.size();) {
        const int len = CodeLength(bytes, i);
        result += DecodeCode(bytes.mid(i, len));
        i += len;
    }
    return result;
}

// The bytes of one character (one or two UTF-16 units): its GBK code when it
// has one, else its GB18030 code. Either is taken only when it reads back as
// the same character, since the converters drop some characters without a
// word (the tag characters) and give others codes that GBK reads otherwise.
QByteArray EncodeChar(const QString& ch)
{
    const QByteArray utf8 = ch.toUtf8();
    QByteArray piece;
    for (Converter* c : {&ToCp936(), &ToGb18030()})
        if (c->Convert(utf8, piece) && !piece.isEmpty() && DecodeByCodes(piece) == ch)
            return piece;
    return QByteArrayLiteral("?");
}

}  // namespace

QByteArray ToGbk(const QString& text)
{
    QByteArray out;
    // Nearly every text is plain GBK: one conversion, checked by reading back.
    if (ToCp936().Convert(text.toUtf8(), out) && FromGbk(out) == text)
        return out;
    QByteArray result;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        result += EncodeChar(text.mid(i, len));
        i += len;
    }
    return result;
}

QString FromGbk(const QByteArray& bytes)
{
    QByteArray out;
    if (FromCp936().Convert(bytes, out))
        return QString::fromUtf8(out);
    // Read code by code, so one code GBK lacks (or one bad byte) costs only
    // itself and never shifts the characters after it.
    return DecodeByCodes(bytes);
}

int GbkLength(const QString& text) { return int(ToGbk(text).size()); }

}  // namespace tamsel
