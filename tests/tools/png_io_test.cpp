#include "common/png_io.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "temporary_folder.h"
#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

// Writes a PNG with libpng alone, top row first, so that the reader is
// checked against files it did not write.
void writeRawPng(const std::string& path, int width, int height, int bitDepth, int colourType,
                 const std::vector<std::vector<png_byte>>& topFirstRows,
                 const std::vector<png_color>& palette = {}, const std::vector<png_byte>& transparency = {}) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, bitDepth, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!transparency.empty())
        png_set_tRNS(png, info, transparency.data(), static_cast<int>(transparency.size()), nullptr);
    png_write_info(png, info);
    for (const auto& row : topFirstRows) png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

std::vector<std::vector<png_byte>> readRawRgba(const std::string& path, png_uint_32& width, png_uint_32& height) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_RGB_ALPHA);
    EXPECT_EQ(png_get_bit_depth(png, info), 8);
    std::vector<std::vector<png_byte>> rows(height, std::vector<png_byte>(width * 4));
    for (auto& row : rows) png_read_row(png, row.data(), nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return rows;
}

TEST(PngMapping, WrittenFileHasByteZeroRedAndTheLastEngineRowOnTop) {
    TemporaryFolder folder;
    Picture picture(3, 2);
    picture.row(0)[0] = pixelWord(10, 20, 30, 40);   // bottom left
    picture.row(1)[2] = pixelWord(50, 60, 70, 0);    // top right, alpha 0 kept
    const std::string path = folder.path("mapping.png");
    writePng(path, picture);

    png_uint_32 width = 0, height = 0;
    const auto rows = readRawRgba(path, width, height);
    ASSERT_EQ(width, 3u);
    ASSERT_EQ(height, 2u);
    EXPECT_EQ((std::vector<png_byte>(rows[1].begin(), rows[1].begin() + 4)), (std::vector<png_byte>{10, 20, 30, 40}));
    EXPECT_EQ((std::vector<png_byte>(rows[0].begin() + 8, rows[0].begin() + 12)), (std::vector<png_byte>{50, 60, 70, 0}));
}

TEST(PngMapping, ReadBackGivesTheSameWordsAtEveryCompression) {
    TemporaryFolder folder;
    Picture picture(37, 11);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = static_cast<uint32_t>(i * 2654435761u);
    for (int level : {0, 1, 6, 9}) {
        const std::string path = folder.path("round" + std::to_string(level) + ".png");
        writePng(path, picture, level);
        const Picture back = readPng(path);
        EXPECT_EQ(back.width, 37);
        EXPECT_EQ(back.rows, 11);
        EXPECT_EQ(back.pixels, picture.pixels) << "level " << level;
    }
}

TEST(PngMapping, RgbWithoutAlphaReadsAsOpaque) {
    TemporaryFolder folder;
    const std::string path = folder.path("rgb.png");
    writeRawPng(path, 2, 2, 8, PNG_COLOR_TYPE_RGB, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
    const Picture p = readPng(path);
    EXPECT_EQ(p.row(1)[0], pixelWord(1, 2, 3, 255));  // top line of the file is the last row
    EXPECT_EQ(p.row(0)[1], pixelWord(10, 11, 12, 255));
}

TEST(PngMapping, GreyPaletteAndSixteenBitInputsAreConverted) {
    TemporaryFolder folder;
    const std::string grey = folder.path("grey.png");
    writeRawPng(grey, 2, 1, 8, PNG_COLOR_TYPE_GRAY, {{0, 200}});
    EXPECT_EQ(readPng(grey).row(0)[1], pixelWord(200, 200, 200, 255));

    const std::string greyAlpha = folder.path("grey-alpha.png");
    writeRawPng(greyAlpha, 1, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {{77, 9}});
    EXPECT_EQ(readPng(greyAlpha).row(0)[0], pixelWord(77, 77, 77, 9));

    const std::string twoBit = folder.path("grey2.png");
    writeRawPng(twoBit, 4, 1, 2, PNG_COLOR_TYPE_GRAY, {{0x1B}});  // levels 0, 1, 2, 3
    const Picture levels = readPng(twoBit);
    EXPECT_EQ(levels.row(0)[1], pixelWord(85, 85, 85, 255));
    EXPECT_EQ(levels.row(0)[3], pixelWord(255, 255, 255, 255));

    const std::string palette = folder.path("palette.png");
    writeRawPng(palette, 2, 1, 8, PNG_COLOR_TYPE_PALETTE, {{1, 0}}, {{9, 8, 7}, {100, 150, 200}}, {255, 128});
    const Picture indexed = readPng(palette);
    EXPECT_EQ(indexed.row(0)[0], pixelWord(100, 150, 200, 128));
    EXPECT_EQ(indexed.row(0)[1], pixelWord(9, 8, 7, 255));

    const std::string deep = folder.path("deep.png");
    writeRawPng(deep, 1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA, {{0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x12, 0x34}});
    EXPECT_EQ(readPng(deep).row(0)[0], pixelWord(255, 128, 0, 18));
}

struct BadFile {
    const char* name;
    std::string content;
    const char* errorMentions;
};

std::string goodPngBytes(const TemporaryFolder& folder) {
    const std::string path = folder.path("good.png");
    Picture p(64, 64);
    for (std::size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = static_cast<uint32_t>(i * 40503u);
    writePng(path, p, 0);
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PngRead, RefusesBrokenFilesNamingThem) {
    TemporaryFolder folder;
    const std::string good = goodPngBytes(folder);
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x5A;  // a CRC mismatch in the image data
    const BadFile cases[] = {
        {"empty.png", "", "is not a PNG file"},
        {"text.png", "hello, not a picture\n", "is not a PNG file"},
        {"signature-only.png", good.substr(0, 8), "corrupt or truncated"},
        {"header-cut.png", good.substr(0, 20), "corrupt or truncated"},
        {"data-cut.png", good.substr(0, good.size() / 2), "corrupt or truncated"},
        {"no-end.png", good.substr(0, good.size() - 12), "corrupt or truncated"},
        {"flipped.png", flipped, "corrupt or truncated"},
    };
    for (const BadFile& c : cases) {
        const std::string path = folder.path(c.name);
        std::ofstream(path, std::ios::binary) << c.content;
        try {
            readPng(path);
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const ToolError& e) {
            EXPECT_NE(std::string(e.what()).find(c.errorMentions), std::string::npos) << c.name << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.name), std::string::npos) << e.what();
            EXPECT_EQ(e.exitStatus(), exitFailure);
        }
    }
    EXPECT_THROW(readPng(folder.path("missing.png")), ToolError);
}

TEST(PngRead, RefusesPicturesWiderThanTheEngineTakes) {
    TemporaryFolder folder;
    const std::string path = folder.path("wide.png");
    writeRawPng(path, maximumPictureWidth + 1, 1, 1, PNG_COLOR_TYPE_GRAY,
                {std::vector<png_byte>((maximumPictureWidth + 8) / 8, 0)});
    EXPECT_THROW(readPng(path), ToolError);
}

TEST(PngWrite, FailureLeavesNoFileBehind) {
    TemporaryFolder folder;
    const Picture p(4, 4);
    EXPECT_THROW(writePng(folder.path("missing-folder/x.png"), p), ToolError);
    EXPECT_THROW(writePng(folder.path(""), p), ToolError);  // the folder itself
    // /dev/full accepts the open and fails the writes: the error must show.
    EXPECT_THROW(writePng("/dev/full", p), ToolError);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{});
}

}  // namespace
}  // namespace glimmer::tool
