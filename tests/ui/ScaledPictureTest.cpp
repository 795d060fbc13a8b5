// Pictures at a DPI under Wine: the program's own sets found in a folder, an
// exact set taken as drawn, a larger set drawn down with its alpha intact,
// and the design picture read for its size alone.
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

TEST(ScaledPicture, HasTheDesignSizeAtEveryDpi) {
    const TPictureSource source = ProgramPictures();
    struct Case {
        const wchar_t* file;
        int dpi, width, height;
    };
    const Case cases[] = {
        {L"close_normal.png", 96, 34, 34},   {L"close_normal.png", 120, 43, 43},
        {L"close_normal.png", 144, 51, 51},  {L"close_normal.png", 168, 60, 60},  // 200 % drawn down
        {L"close_normal.png", 192, 68, 68},  {L"close_normal.png", 288, 102, 102},
        {L"buy_normal.png", 120, 195, 45},   {L"buy_normal.png", 168, 273, 63},
        {L"features.png", 120, 455, 116},    {L"features.png", 144, 546, 140},
        {L"features_nl.png", 240, 910, 233},  // 300 % drawn down
        {L"badge_free.png", 384, 204, 64},    // above the largest set: drawn up from it
    };
    for (const auto& c : cases) {
        const auto picture = PictureForDpi(source, c.file, c.dpi);
        ASSERT_NE(picture, nullptr) << c.file << " at " << c.dpi;
        EXPECT_EQ(picture->Width(), c.width) << c.file << " at " << c.dpi;
        EXPECT_EQ(picture->Height(), c.height) << c.file << " at " << c.dpi;
        // Drawn and read back at that size (a drawn-down picture is made now).
        EXPECT_EQ(picture->Image().pixels.size(), static_cast<size_t>(c.width) * c.height);
    }
    EXPECT_EQ(PictureForDpi(source, L"missing.png", 144), nullptr);
}

TEST(ScaledPicture, TakesASetMadeForTheScaleAsDrawn) {
    const TPictureSource source = ProgramPictures();
    struct Case {
        int dpi;
        const char* file;
    };
    const Case cases[] = {{96, "features.png"},
                          {120, "features@125.png"},
                          {144, "features@150.png"},
                          {192, "features@200.png"},
                          {288, "features@300.png"}};
    for (const auto& c : cases) {
        const DecodedImage expected =
            Decode(test::ReadDataFile(std::string("../../resources/pictures/") + c.file));
        const auto picture = PictureForDpi(source, L"features.png", c.dpi);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Image().pixels, expected.pixels) << c.file;
    }
}

TEST(ScaledPicture, DrawsALargerSetDownWithItsAlpha) {
    // A white disc on a transparent square: 20 x 20 as designed, 30 x 30 in
    // the 150 % set. At 132 DPI the set is drawn down to 28 x 28.
    auto disc = [](int size) {
        return Png(size, size, [size](int x, int y) {
            const double dx = x + 0.5 - size / 2.0, dy = y + 0.5 - size / 2.0;
            return dx * dx + dy * dy <= (size * 0.4) * (size * 0.4) ? 0xFFFFFFFFu : 0u;
        });
    };
    MemorySource memory;
    memory.files[L"disc.png"] = disc(20);
    memory.files[L"disc@150.png"] = disc(30);
    const auto picture = PictureForDpi(memory.Source(), L"disc.png", 132);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->Width(), 28);
    ASSERT_EQ(picture->Height(), 28);
    EXPECT_EQ(picture->Pixel(0, 0), 0u);  // transparent stays transparent
    EXPECT_EQ(picture->Pixel(27, 27), 0u);
    EXPECT_EQ(picture->Pixel(14, 14), 0xFFFFFFFFu);  // opaque stays opaque
    EXPECT_TRUE(picture->HasAlpha());
    int edge = 0;
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 28; ++x) {
            const std::uint32_t p = picture->Pixel(x, y), a = p >> 24;
            const std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            ASSERT_TRUE(r <= a && g <= a && b <= a) << "not premultiplied at " << x << "," << y;
            // White stays white at the edge: no dark fringe.
            if (a >= 32 && a < 255) {
                ++edge;
                EXPECT_GE(r * 255, a * 235) << "dark edge at " << x << "," << y;
            }
        }
    EXPECT_GT(edge, 0);  // the edge is antialiased, not cut
}

TEST(ScaledPicture, ReadsOnlyTheDesignPicturesHeaderWhenASetIsUsed) {
    // The design picture is cut right after its header: it has no pixels to
    // decode. The set picture at 144 DPI comes out whole.
    MemorySource memory;
    std::vector<std::uint8_t> design = Png(20, 10, [](int, int) { return 0xFF0000FFu; });
    const size_t idat = std::string(design.begin(), design.end()).find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    design.resize(idat + 4);  // up to the pixel data, without it
    const std::vector<std::uint8_t> set =
        Png(30, 15, [](int x, int) { return x < 15 ? 0xFFFF0000u : 0x80008000u; });
    memory.files[L"pic.png"] = design;
    memory.files[L"pic@150.png"] = set;
    const auto picture = PictureForDpi(memory.Source(), L"pic.png", 144);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Image().pixels, Decode(set).pixels);
    EXPECT_EQ(memory.asked, (std::vector<std::wstring>{L"pic.png", L"pic@150.png"}));

    // At 96 DPI the same design picture is the one used, and indeed cannot
    // be decoded: a transparent picture of its declared size.
    const auto design96 = PictureForDpi(memory.Source(), L"pic.png", 96);
    ASSERT_NE(design96, nullptr);
    EXPECT_EQ(design96->Width(), 20);
    EXPECT_EQ(design96->Pixel(5, 5), 0u);
}

TEST(ScaledPicture, DrawingDownBlendsNeighbouringPixels) {
    // One-pixel stripes of black and white drawn down by 1.6 (the 200 % set
    // at 120 DPI, the 125 % and 150 % sets being absent). A stretch that drops
    // pixels keeps pure black and white columns. Windows' HALFTONE averages
    // the area (every column grey); Wine 8's interpolates between the two
    // nearest source columns, so a column that falls on one is pure: the test
    // asks for the grey that both give.
    MemorySource memory;
    memory.files[L"stripes.png"] = Png(8, 4, [](int, int) { return 0xFF000000u; });
    memory.files[L"stripes@200.png"] =
        Png(16, 8, [](int x, int) { return x % 2 ? 0xFFFFFFFFu : 0xFF000000u; });
    const auto picture = PictureForDpi(memory.Source(), L"stripes.png", 120);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->Width(), 10);
    int grey = 0;
    std::uint32_t sum = 0;
    for (int x = 1; x < 9; ++x) {
        const std::uint32_t p = picture->Pixel(x, 2);
        EXPECT_EQ(p >> 24, 0xFFu);
        grey += (p & 0xFF) > 40 && (p & 0xFF) < 215;
        sum += p & 0xFF;
    }
    EXPECT_GE(grey, 6);
    EXPECT_NEAR(sum / 8.0, 127.5, 48);
}

TEST(ScaledPicture, DrawsTheDesignPictureWhenASourceHasNoSets) {
    MemorySource memory;
    memory.files[L"solid.png"] = Png(10, 4, [](int, int) { return 0xFF336699u; });
    const auto picture = PictureForDpi(memory.Source(), L"solid.png", 144);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 15);
    EXPECT_EQ(picture->Height(), 6);
    EXPECT_EQ(picture->Pixel(7, 3), 0xFF336699u);
}

}  // namespace
}  // namespace promo
