#include "engine_image.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <memory>

namespace glimmer {

bool readPng(const std::string& path, EngineImage& image) {
    int width = 0;
    int rows = 0;
    int channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(stbi_load(path.c_str(), &width, &rows, &channels, 4),
                                                   stbi_image_free);
    if (rgba == nullptr || width <= 0 || rows <= 0) return false;
    image.width = width;
    image.rows = rows;
    image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows));
    for (int y = 0; y < rows; ++y) {
        const stbi_uc* line = rgba.get() + static_cast<std::size_t>(y) * width * 4;
        uint32_t* row = image.pixels.data() + static_cast<std::size_t>(rows - 1 - y) * width;
        for (int x = 0; x < width; ++x) {
            const stbi_uc* p = line + x * 4;
            row[x] = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
        }
    }
    return true;
}

bool writePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t rows) {
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows) * 4);
    for (int32_t y = 0; y < rows; ++y) {
        const uint32_t* row = pixels + static_cast<std::size_t>(rows - 1 - y) * width;
        unsigned char* line = rgba.data() + static_cast<std::size_t>(y) * width * 4;
        for (int32_t x = 0; x < width; ++x)
            for (int n = 0; n < 4; ++n) line[x * 4 + n] = static_cast<unsigned char>(row[x] >> (8 * n));
    }
    return stbi_write_png(path.c_str(), width, rows, 4, rgba.data(), width * 4) != 0;
}

}  // namespace glimmer
