#include "png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr int COMPRESSION_LEVEL = 3;

struct ErrorSink {
    char* text;
};

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
    std::snprintf(sink->text, PNG_ERROR_CAPACITY, "libpng: %s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// The libpng part, apart so that nothing it touches lives across its long jump.
bool encode(std::FILE* file, int width, int height, const unsigned char* const* rgbaRows, ErrorSink& sink) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onPngError, onPngWarning);
    if (png == nullptr) {
        std::snprintf(sink.text, PNG_ERROR_CAPACITY, "libpng: out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(sink.text, PNG_ERROR_CAPACITY, "libpng: out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, COMPRESSION_LEVEL);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_filler(png, 0, PNG_FILLER_AFTER);  // the input's fourth byte is skipped
    png_write_image(png, const_cast<png_bytepp>(rgbaRows));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const char* path, int width, int height, const unsigned char* const* rgbaRows,
              char (&error)[PNG_ERROR_CAPACITY]) {
    error[0] = '\0';
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::snprintf(error, PNG_ERROR_CAPACITY, "%s", std::strerror(errno));
        return false;
    }
    ErrorSink sink{error};
    bool good = encode(file, width, height, rgbaRows, sink);
    if (good && std::ferror(file)) {
        std::snprintf(error, PNG_ERROR_CAPACITY, "write failed");
        good = false;
    }
    if (std::fclose(file) != 0 && good) {
        std::snprintf(error, PNG_ERROR_CAPACITY, "%s", std::strerror(errno));
        good = false;
    }
    if (!good) {
        std::remove(path);
    }
    return good;
}
