// The formats table as the user meets it: the texts of the file dialogs and
// lists, the codes names ask for, which reader a file goes to.
#include "imaging/ImageFormats.h"
#include "tools/BatchConvert.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace tamsel;
using namespace std::string_view_literals;

TEST(ImageFormats, TheListsReadTheSameAsEver)
{
    EXPECT_EQ(AlbumFileFilter(), "*.bmp,*.jpg,*.pcx,*.tga,*.tif,*.png,*.ico,*.wmf "
                                 "(*.bmp *.jpg *.pcx *.tga *.tif *.png *.ico *.wmf)");
    EXPECT_EQ(ConvertFormatEntries(), QStringList({"*.bmp", "*.jpg", "*.pcx", "*.tga", "*.ico", "*.tif", "*.png"}));
    EXPECT_EQ(ConvertSourceEntries([](const char*) { return true; }).mid(7),
              QStringList({"*.heic", "*.avif", "*.webp", "*.heic;*.avif;*.webp"}));
    const struct {
        const char* name;
        int code;            // what save as writes it as
        bool album;          // listed in the album
        bool direct;         // read by the album's own readers
        const char* phone;   // counted as a phone photo under
    } cases[] = {
        {"a.bmp", kBmp, true, true, ""},   {"a.jpg", kJpg, true, true, ""},
        {"a.JPG", -1, true, false, ""},    {"a.jpeg", -1, false, false, ""},
        {"a.tif", kTif, true, false, ""},  {"a.tiff", -1, false, false, ""},
        {"a.ico", kIco, true, false, ""},  {"a.WMF", -1, true, false, ""},
        {"a.heif", -1, false, false, "HEIC"}, {"a.AVIF", -1, false, false, "AVIF"},
        {"a.webp", -1, false, false, "WebP"}, {"a.gif", -1, false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OutputFormatOf(c.name), c.code);
        EXPECT_EQ(IsAlbumPhoto(c.name), c.album);
        EXPECT_EQ(ReadsDirectly(c.name), c.direct);
        EXPECT_EQ(PhonePhotoKind(c.name), QLatin1String(c.phone));
    }
    EXPECT_EQ(OutputEnding(kPng), "png");
    EXPECT_EQ(OutputEnding(7), "");
}

TEST(ImageFormats, AFileIsWhatItsBytesSurelySayThenWhatItsNameSays)
{
    const struct {
        const char* name;
        std::string_view head;
        FormatId format;
    } cases[] = {
        {"really.jpg", "\x89PNG\r\n\x1A\n"sv, FormatId::Png},   // a sure signature wins
        {"icon.tga", "\0\0\1\0"sv, FormatId::Tga},             // a weak one does not
        {"noname", "\0\0\1\0"sv, FormatId::Ico},               // unless the name says nothing
        {"noname", "\x0A\x05\x01\x08"sv, FormatId::Pcx},
        {"phone.jpg", "\0\0\0\x18" "ftypheic"sv, FormatId::Heic},
        {"x.Tiff", ""sv, FormatId::Tiff},
    };
    for (const auto& c : cases) {
        const ImageFormat* f = FormatOfFile(c.name, c.head);
        ASSERT_NE(f, nullptr) << c.name;
        EXPECT_EQ(f->id, c.format) << c.name;
    }
    // Heads too short for any signature, and bytes nothing claims.
    for (std::string_view head : {""sv, "R"sv, "RIFF\0\0"sv, "\0\0\0\x18" "ft"sv, "GIF89a"sv})
        EXPECT_EQ(FormatOfFile("noname", head), nullptr);
}
