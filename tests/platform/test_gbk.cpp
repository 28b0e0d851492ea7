#include "platform/Gbk.h"

#include <gtest/gtest.h>

#include <random>

using namespace tamsel;

namespace {

// Characters of every kind a caption or a path may hold: what GBK has (ASCII,
// Chinese, the euro sign it keeps as the single byte 0x80) and what it lacks
// (emoji, Hangul, a rare CJK character, a tag character, U+FFFD itself).
const char32_t kPool[] = {
    U'a', U'Z', U'0', U' ', U',', U'\\', U'/', U'~', U'\x7F', U'\x01',
    U'售', U'价', U'格', U'澄', U'影', U'集', U'鄹', U'駭', U'。', U'·',
    U'€', U'€',
    U'😀', U'한', U'글', U'𠀀', U'\U000E0041', U'\uFFFD', U'ß', U'é', U'\u30FB',
};

QString Text(const std::u32string& s) { return QString::fromUcs4(s.data(), qsizetype(s.size())); }

}  // namespace

TEST(Gbk, EuroBesideChineseAndCharactersGbkLacksSurvivesEverySaveAndReload)
{
    // The euro sign is 0x80 and must be read as a whole character, never as
    // the first byte of a pair, or everything after it shifts.
    const QString caption = QStringLiteral("售价€价格😀");
    const QByteArray once = ToGbk(caption);
    EXPECT_TRUE(once.contains('\x80'));
    EXPECT_EQ(FromGbk(once), caption);
    EXPECT_EQ(ToGbk(FromGbk(once)), once);
    EXPECT_EQ(FromGbk(ToGbk(QStringLiteral("€한"))), QStringLiteral("€한"));
}

TEST(Gbk, ReadingIsTheExactInverseOfWritingForRandomMixedText)
{
    std::mt19937 rng(936);
    std::uniform_int_distribution<size_t> pick(0, std::size(kPool) - 1);
    std::uniform_int_distribution<int> length(0, 12);
    for (int round = 0; round < 3000; ++round) {
        std::u32string s;
        for (int n = length(rng); n > 0; --n)
            s += kPool[pick(rng)];
        const QString text = Text(s);
        ASSERT_EQ(FromGbk(ToGbk(text)), text) << text.toStdString();
    }
}

TEST(Gbk, AnyBytesReadThenWrittenAreStableFromTheFirstWrite)
{
    // Damaged bytes may read as U+FFFD, but never as something that then
    // changes again at the next save.
    std::mt19937 rng(18030);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 16);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        for (int n = length(rng); n > 0; --n)
            bytes += char(byte(rng) < 96 ? 0x80 + byte(rng) % 0x20 : byte(rng));
        const QByteArray written = ToGbk(FromGbk(bytes));
        ASSERT_EQ(ToGbk(FromGbk(written)), written) << bytes.toHex().toStdString();
        ASSERT_EQ(FromGbk(written), FromGbk(bytes)) << bytes.toHex().toStdString();
    }
}
