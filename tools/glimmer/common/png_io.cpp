#include "common/png_io.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <png.h>
#include <sys/stat.h>

#include "outputs/output_file.h"
#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

struct PngFailure {
    char message[200] = "";
};

// libpng reports through a callback that must not return; it jumps back to
// the setjmp of the function that made the struct.
void recordPngError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp) {}

struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file != nullptr) std::fclose(file);
    }
};

std::string sizeText(uint32_t width, uint32_t rows) { return std::to_string(width) + "x" + std::to_string(rows); }

// What a read produces lives in the caller's frame: locals changed after a
// setjmp have no defined value once libpng jumps back.
struct PngReading {
    int64_t fileBytes = 0;
    Picture picture;
    std::vector<png_bytep> rowPointers;
    std::string tooLarge;
};

// No chunk, row or inflate window of a picture we take needs more. Without
// a bound libpng allocates whatever a chunk's length claims (2 GB from a
// 233-byte file) before it finds the file too short: its own length check
// is only a warning when reading.
constexpr png_alloc_size_t largestLibpngBlock = 8 << 20;

png_voidp boundedMalloc(png_structp, png_alloc_size_t bytes) {
    return bytes <= largestLibpngBlock ? std::malloc(bytes) : nullptr;
}

void freeBlock(png_structp, png_voidp block) { std::free(block); }
// Deflate packs at most 1032 bytes into one: pixel data larger than that
// many times the file cannot be in it.
constexpr int64_t deflateRatio = 1032;

bool readPngRows(png_structp png, png_infop info, std::FILE* file, PngReading& reading) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
    png_set_user_limits(png, static_cast<png_uint_32>(maximumPictureWidth),
                        static_cast<png_uint_32>(maximumPictureRows));
    png_set_chunk_malloc_max(png, largestLibpngBlock);
    png_read_info(png, info);
    const uint32_t width = png_get_image_width(png, info);
    const uint32_t rows = png_get_image_height(png, info);
    if (width > static_cast<uint32_t>(maximumPictureWidth) || rows > static_cast<uint32_t>(maximumPictureRows) ||
        int64_t{width} * rows > maximumPicturePixels) {
        reading.tooLarge = sizeText(width, rows);
        return false;
    }
    if (static_cast<int64_t>(png_get_rowbytes(png, info)) * rows > deflateRatio * reading.fileBytes)
        png_error(png, "more pixels than the file can hold");
    const int colourType = png_get_color_type(png, info);
    png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_scale_16(png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    if ((colourType & PNG_COLOR_MASK_ALPHA) == 0 && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * 4) png_error(png, "unexpected pixel format");

    reading.picture = Picture(static_cast<int32_t>(width), static_cast<int32_t>(rows));
    reading.rowPointers.resize(rows);
    for (uint32_t i = 0; i < rows; ++i)
        reading.rowPointers[i] = reinterpret_cast<png_bytep>(reading.picture.row(static_cast<int32_t>(rows - 1 - i)));
    png_read_image(png, reading.rowPointers.data());
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

Picture readPng(const std::string& path) {
    FileCloser in{std::fopen(path.c_str(), "rb")};
    if (in.file == nullptr) throw ToolError("cannot open '" + path + "': " + std::strerror(errno));
    png_byte signature[8];
    if (std::fread(signature, 1, sizeof signature, in.file) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0)
        throw ToolError("'" + path + "' is not a PNG file");

    PngFailure failure;
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &failure, recordPngError, ignorePngWarning,
                                               nullptr, boundedMalloc, freeBlock);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    PngReading reading;
    struct stat file;
    reading.fileBytes = fstat(fileno(in.file), &file) == 0 ? static_cast<int64_t>(file.st_size) : 0;
    const bool madeStructs = info != nullptr;
    const bool read = madeStructs && readPngRows(png, info, in.file, reading);
    png_destroy_read_struct(&png, madeStructs ? &info : nullptr, nullptr);
    if (read) return std::move(reading.picture);
    if (!madeStructs) throw ToolError("cannot read '" + path + "': out of memory");
    if (!reading.tooLarge.empty())
        throw ToolError("'" + path + "' is " + reading.tooLarge + "; glimmer takes at most " +
                        sizeText(maximumPictureWidth, maximumPictureRows) + " and " +
                        std::to_string(maximumPicturePixels) + " pixels");
    throw ToolError("'" + path + "' is corrupt or truncated (" + failure.message + ")");
}

void writePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t rows, int compression) {
    OutputFile output(path);
    FileCloser out{std::fopen(output.path().c_str(), "wb")};
    if (out.file == nullptr) throw ToolError("cannot write '" + path + "': " + std::strerror(errno));

    PngFailure failure;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, recordPngError, ignorePngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        throw ToolError("cannot write '" + path + "': out of memory");
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw ToolError("cannot write '" + path + "': " + failure.message);
    }
    png_init_io(png, out.file);
    png_set_compression_level(png, compression);
    // At the fast levels row filters cost time and, on rendered frames, save
    // next to nothing (50 frames at 1920x1080: 62 MB unfiltered, 63 MB with
    // the Sub filter, and 8% faster).
    if (compression <= 2) png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(rows), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t i = rows - 1; i >= 0; --i)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels + static_cast<std::size_t>(i) * width));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);

    const bool flushed = std::fflush(out.file) == 0 && std::ferror(out.file) == 0;
    const int closeResult = std::fclose(out.file);
    out.file = nullptr;
    if (!flushed || closeResult != 0) throw ToolError("cannot write '" + path + "': " + std::strerror(errno));
    output.commit();
}

}  // namespace glimmer::tool
