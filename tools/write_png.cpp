#include "tools/write_png.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "record/battle_file.h"

#ifdef QUENMAR_PNG
#include <png.h>

void write_png(const Surface& s, const std::string& file) {
    const auto refuse = [&] { throw InputError(file, "cannot write the PNG picture"); };
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(file.c_str(), "wb"),
                                                              std::fclose);
    if (!out || s.width == 0 || s.height == 0) refuse();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<std::size_t>(s.width) * 3);
    volatile bool written = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, out.get());
        png_set_IHDR(png, info, static_cast<png_uint_32>(s.width),
                     static_cast<png_uint_32>(s.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) {
                const std::uint32_t p = s.pixels[static_cast<std::size_t>(y * s.width + x)];
                row[3 * static_cast<std::size_t>(x)] = static_cast<png_byte>(p >> 16);
                row[3 * static_cast<std::size_t>(x) + 1] = static_cast<png_byte>(p >> 8);
                row[3 * static_cast<std::size_t>(x) + 2] = static_cast<png_byte>(p);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    if (!written || std::fflush(out.get()) != 0) refuse();
}

#else

void write_png(const Surface&, const std::string&) {
    throw InputError("--png", "this build writes no PNG pictures");
}

#endif
