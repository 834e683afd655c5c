// A PNG cut short anywhere — at every chunk boundary, and inside every
// chunk — is refused with an error naming the file, never read as a picture
// with made-up rows.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/png_io.h"
#include "temporary_folder.h"
#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

uint32_t bigEndian(const std::string& s, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(s[at])) << 24 |
           static_cast<uint32_t>(static_cast<unsigned char>(s[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(s[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(s[at + 3]));
}

// Offsets where chunks start, after the 8-byte signature, and the end.
std::vector<size_t> chunkBoundaries(const std::string& png) {
    std::vector<size_t> at{8};
    while (at.back() + 12 <= png.size()) at.push_back(at.back() + 12 + bigEndian(png, at.back()));
    return at;
}

TEST(PngTruncation, EveryCutIsRefused) {
    TemporaryFolder folder;
    Picture picture(37, 23);
    for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = static_cast<uint32_t>(i * 2654435761u);
    const std::string whole = folder.path("whole.png");
    writePng(whole, picture, 6);
    std::ifstream in(whole, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<size_t> boundaries = chunkBoundaries(bytes);
    ASSERT_EQ(boundaries.back(), bytes.size());
    ASSERT_GE(boundaries.size(), 4u);  // IHDR, IDAT, IEND

    std::vector<size_t> cuts{0, 4};
    for (size_t b = 0; b + 1 < boundaries.size(); ++b) {
        cuts.push_back(boundaries[b]);
        cuts.push_back(boundaries[b] + 4);                                   // inside the length
        cuts.push_back(boundaries[b] + 8 + (boundaries[b + 1] - boundaries[b] - 12) / 2);  // inside the data
        cuts.push_back(boundaries[b + 1] - 2);                               // inside the CRC
    }
    for (size_t cut : cuts) {
        const std::string name = "cut-" + std::to_string(cut) + ".png";
        std::ofstream(folder.path(name), std::ios::binary) << bytes.substr(0, cut);
        try {
            readPng(folder.path(name));
            ADD_FAILURE() << "a file cut at byte " << cut << " of " << bytes.size() << " was accepted";
        } catch (const ToolError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(readPng(whole).pixels, picture.pixels);
}

}  // namespace
}  // namespace glimmer::tool
