#include "framework/ZScreenshot.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include "foundation/ZLog.h"
#include "foundation/ZUserFolders.h"
#include "platform/os/files.h"
#include "platform/os/system.h"

namespace {

void OnPNGError(png_structp png, png_const_charp message) {
    ZLog::Printf("PNG writer: %s", message != nullptr ? message : "error");
    png_longjmp(png, 1);
}

void OnPNGWarning(png_structp /*png*/, png_const_charp message) {
    ZLog::Printf("PNG writer warning: %s", message != nullptr ? message : "");
}

// The encoder runs under libpng's setjmp error return, so nothing with a
// destructor lives in this function: the caller owns the rows.
bool EncodePNG(std::FILE* file, png_bytep* rows, const int32_t width, const int32_t height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPNGError, OnPNGWarning);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WriteScreenshotPNG(const char* path, const uint32_t* pixels, const int32_t width, const int32_t height) {
    if (path == nullptr || pixels == nullptr || width < 1 || height < 1) {
        ZLog::Printf("WriteScreenshotPNG: nothing to write");
        return false;
    }
    const size_t w = static_cast<size_t>(width);
    const size_t h = static_cast<size_t>(height);
    std::unique_ptr<png_byte[]> rgb(new png_byte[w * h * 3]);
    std::unique_ptr<png_bytep[]> rows(new png_bytep[h]);
    for (size_t y = 0; y < h; ++y) {
        png_bytep row = rgb.get() + y * w * 3;
        rows[y] = row;
        for (size_t x = 0; x < w; ++x) {
            const uint32_t argb = pixels[y * w + x];
            row[x * 3 + 0] = static_cast<png_byte>(argb >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(argb >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(argb);
        }
    }

    os::AtomicFile file(path);
    if (!file.IsOpen()) {
        ZLog::Printf("WriteScreenshotPNG: %s cannot be created: %s", path,
                     os::ErrorText(file.Error()).c_str());
        return false;
    }
    if (!EncodePNG(file.File(), rows.get(), width, height)) {
        ZLog::Printf("WriteScreenshotPNG: %s could not be encoded", path);
        return false;
    }
    const int error = file.Commit();
    if (error != 0) {
        ZLog::Printf("WriteScreenshotPNG: %s could not be written: %s", path, os::ErrorText(error).c_str());
        return false;
    }
    return true;
}

ZString FindFreeScreenshotPath(const char* folder, const char* prefix, const char* extension) {
    ZString path;
    for (int32_t number = 0; number <= 9999; ++number) {
        char name[64];
        std::snprintf(name, sizeof name, "%04d.", number);
        path = ZString(folder != nullptr ? folder : "") + (prefix != nullptr ? prefix : "") + name +
               (extension != nullptr ? extension : "");
        if (!FileExists(path.GetText())) {
            return path;
        }
    }
    return ZString();
}
