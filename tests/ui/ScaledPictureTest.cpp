// Pictures at a DPI under Wine: every set carried by the program, sizes and
// exact sets over the committed pictures, a larger set drawn down with its
// alpha intact, and the design picture read for its size alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "common/TestData.h"
#include "support/Handles.h"
#include "ui/Description.h"
#include "ui/PictureSets.h"
#include "ui/PngWriter.h"
#include "ui/ScaledPicture.h"

namespace promo {
namespace {

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

TPictureSource ProgramPictures() { return FolderPictures(Wide(test::DataPath("../../resources/pictures"))); }

DecodedImage Decode(const std::vector<std::uint8_t>& png) {
    DecodedImage image;
    EXPECT_TRUE(DecodePng(png.data(), png.size(), image));
    return image;
}

std::vector<std::uint8_t> Png(int w, int h, const std::function<std::uint32_t(int, int)>& f) {
    DecodedImage image;
    image.width = w;
    image.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.pixels.push_back(f(x, y));
    std::vector<std::uint8_t> png;
    EXPECT_TRUE(EncodePng(image, png));
    return png;
}

// A source over PNG files held in memory that notes every name asked for.
struct MemorySource {
    std::map<std::wstring, std::vector<std::uint8_t>> files;
    std::vector<std::wstring> asked;
    TPictureSource Source() {
        return [this](const std::wstring& file, std::vector<std::uint8_t>& stream) {
            asked.push_back(file);
            const auto it = files.find(file);
            if (it == files.end()) return false;
            stream = MakePictureStream("TPngImage", it->second);
            return true;
        };
    }
};

TEST(ScaledPicture, TheProgramCarriesEverySetOfEveryPictureItsWindowNames) {
    std::wstring exe = L"Z:" + Wide(PROMO_PROGRAM_EXE);
    for (wchar_t& c : exe)
        if (c == L'/') c = L'\\';
    UniqueModule program(
        ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program) << "cannot open " << PROMO_PROGRAM_EXE;
    const TPictureSource embedded = ResourcePictures(program.get());
    const TPictureSource committed = ProgramPictures();

    const auto bytes = test::ReadDataFile("../../resources/FormSale.txt");
    const std::string description(bytes.begin(), bytes.end());
    const std::regex picture(R"(picture\s*\(\s*'([^']+)'\s*\))");
    int pictures = 0;
    for (std::sregex_iterator it(description.begin(), description.end(), picture), end; it != end; ++it) {
        ++pictures;
        for (int percent : kPictureSetPercents) {
            const std::wstring file = PictureSetFile(Wide((*it)[1].str()), percent);
            std::vector<std::uint8_t> inProgram, inFolder;
            EXPECT_TRUE(embedded(file, inProgram))
                << "not in the program: " << std::string(file.begin(), file.end());
            ASSERT_TRUE(committed(file, inFolder));
            EXPECT_EQ(inProgram, inFolder);
        }
    }
    EXPECT_GE(pictures, 12);
}

TEST(ScaledPicture, HasTheDesignSizeAtEveryDpiAndTakesAnExactSetAsDrawn) {
    const TPictureSource source = ProgramPictures();
    struct Case {
        const wchar_t* file;
        int dpi, width, height;
        const char* exactSet;  // the committed file the picture is, or null: drawn down
    };
    const Case cases[] = {
        {L"close_normal.png", 96, 34, 34, "close_normal.png"},
        {L"close_normal.png", 120, 43, 43, "close_normal@125.png"},
        {L"features.png", 144, 546, 140, "features@150.png"},
        {L"close_normal.png", 168, 60, 60, nullptr},  // from 200 %
        {L"buy_normal.png", 168, 273, 63, nullptr},
        {L"buy_normal.png", 192, 312, 72, "buy_normal@200.png"},
        {L"features_nl.png", 240, 910, 233, nullptr},  // from 300 %
        {L"features.png", 288, 1092, 279, "features@300.png"},
        {L"badge_free.png", 384, 204, 64, nullptr},  // above the largest set: drawn up
    };
    for (const auto& c : cases) {
        const auto picture = PictureForDpi(source, c.file, c.dpi);
        ASSERT_NE(picture, nullptr) << c.dpi;
        EXPECT_EQ(picture->Width(), c.width) << c.dpi;
        EXPECT_EQ(picture->Height(), c.height) << c.dpi;
        const auto& pixels = picture->Image().pixels;
        EXPECT_EQ(pixels.size(), static_cast<size_t>(c.width) * c.height);
        if (c.exactSet) {
            EXPECT_EQ(
                pixels,
                Decode(test::ReadDataFile(std::string("../../resources/pictures/") + c.exactSet)).pixels)
                << c.exactSet;
        }
    }
    EXPECT_EQ(PictureForDpi(source, L"missing.png", 144), nullptr);
}

TEST(ScaledPicture, DrawsALargerSetDownWithItsAlpha) {
    // A white disc on a transparent square, 20 x 20 as designed, 30 x 30 at
    // 150 %: at 132 DPI drawn down to 28 x 28.
    auto disc = [](int size) {
        return Png(size, size, [size](int x, int y) {
            const double dx = x + 0.5 - size / 2.0, dy = y + 0.5 - size / 2.0;
            return dx * dx + dy * dy <= size * size * 0.16 ? 0xFFFFFFFFu : 0u;
        });
    };
    MemorySource memory;
    memory.files = {{L"disc.png", disc(20)}, {L"disc@150.png", disc(30)}};
    const auto picture = PictureForDpi(memory.Source(), L"disc.png", 132);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->Width(), 28);
    EXPECT_EQ(picture->Pixel(0, 0), 0u);  // transparent stays transparent
    EXPECT_EQ(picture->Pixel(27, 27), 0u);
    EXPECT_EQ(picture->Pixel(14, 14), 0xFFFFFFFFu);  // opaque stays opaque
    int edge = 0;
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 28; ++x) {
            const std::uint32_t p = picture->Pixel(x, y), a = p >> 24, r = (p >> 16) & 0xFF;
            ASSERT_TRUE(r <= a && (p & 0xFF) <= a) << "not premultiplied at " << x << "," << y;
            if (a >= 32 && a < 255) {  // the antialiased edge stays white: no dark fringe
                ++edge;
                EXPECT_GE(r * 255, a * 235) << x << "," << y;
            }
        }
    EXPECT_GT(edge, 0);
}

TEST(ScaledPicture, ReadsOnlyTheDesignPicturesHeaderWhenASetIsUsed) {
    // The design picture ends before its pixel data; the set at 144 DPI
    // comes out whole. At 96 DPI the same design picture is indeed
    // undecodable: a transparent picture of its declared size.
    MemorySource memory;
    std::vector<std::uint8_t> design = Png(20, 10, [](int, int) { return 0xFF0000FFu; });
    design.resize(std::string(design.begin(), design.end()).find("IDAT") + 4);
    const auto set = Png(30, 15, [](int x, int) { return x < 15 ? 0xFFFF0000u : 0x80008000u; });
    memory.files = {{L"pic.png", design}, {L"pic@150.png", set}};
    const auto picture = PictureForDpi(memory.Source(), L"pic.png", 144);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Image().pixels, Decode(set).pixels);
    EXPECT_EQ(memory.asked, (std::vector<std::wstring>{L"pic.png", L"pic@150.png"}));
    const auto design96 = PictureForDpi(memory.Source(), L"pic.png", 96);
    ASSERT_NE(design96, nullptr);
    EXPECT_EQ(design96->Width(), 20);
    EXPECT_EQ(design96->Pixel(5, 5), 0u);
}

TEST(ScaledPicture, DrawingDownBlendsNeighbouringPixels) {
    // One-pixel black and white stripes drawn down by 1.6 (the 200 % set at
    // 120 DPI, the sets between being absent). A stretch that drops pixels
    // keeps pure columns. Windows' HALFTONE averages the area (every column
    // grey); Wine 8's interpolates between the two nearest source columns, so
    // a column that falls on one stays pure: the test asks for what both give.
    MemorySource memory;
    memory.files = {
        {L"stripes.png", Png(8, 4, [](int, int) { return 0xFF000000u; })},
        {L"stripes@200.png", Png(16, 8, [](int x, int) { return x % 2 ? 0xFFFFFFFFu : 0xFF000000u; })}};
    const auto picture = PictureForDpi(memory.Source(), L"stripes.png", 120);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->Width(), 10);
    int grey = 0, sum = 0;
    for (int x = 1; x < 9; ++x) {
        const std::uint32_t p = picture->Pixel(x, 2), v = p & 0xFF;
        EXPECT_EQ(p >> 24, 0xFFu);
        grey += v > 40 && v < 215;
        sum += static_cast<int>(v);
    }
    EXPECT_GE(grey, 6);
    EXPECT_NEAR(sum / 8.0, 127.5, 48);
}

}  // namespace
}  // namespace promo
