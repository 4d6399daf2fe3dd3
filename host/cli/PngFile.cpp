#include "host/cli/PngFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace ofxhost {

namespace {

// libpng reports errors by longjmp: the functions that call it with a setjmp in force keep
// only trivially destructible locals, so nothing is skipped on the way out.
struct PngCodec {
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool writing = false;
    char message[256] = "";
    std::vector<unsigned char>* encoded = nullptr;

    ~PngCodec() {
        if (writing) {
            png_destroy_write_struct(&png, &info);
        } else {
            png_destroy_read_struct(&png, &info, nullptr);
        }
    }
};

void onError(png_structp png, png_const_charp message) {
    auto* codec = static_cast<PngCodec*>(png_get_error_ptr(png));
    std::snprintf(codec->message, sizeof codec->message, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Up to the decoded size: every format becomes RGBA of 8 or 16 bits in machine order.
bool readHeader(PngCodec& codec, std::FILE* file, png_uint_32& width, png_uint_32& height,
                int& depth) {
    if (setjmp(png_jmpbuf(codec.png))) {
        return false;
    }
    png_init_io(codec.png, file);
    png_read_info(codec.png, codec.info);
    width = png_get_image_width(codec.png, codec.info);
    height = png_get_image_height(codec.png, codec.info);
    png_set_expand(codec.png);
    png_set_gray_to_rgb(codec.png);
    png_set_add_alpha(codec.png, 0xffff, PNG_FILLER_AFTER);
    if (png_get_bit_depth(codec.png, codec.info) == 16) {
        png_set_swap(codec.png);
    }
    png_set_interlace_handling(codec.png);
    png_read_update_info(codec.png, codec.info);
    depth = png_get_bit_depth(codec.png, codec.info);
    return png_get_channels(codec.png, codec.info) == 4 && (depth == 8 || depth == 16);
}

bool readRows(PngCodec& codec, png_bytep* rows) {
    if (setjmp(png_jmpbuf(codec.png))) {
        return false;
    }
    png_read_image(codec.png, rows);
    png_read_end(codec.png, nullptr);
    return true;
}

void append(png_structp png, png_bytep data, png_size_t size) {
    auto* codec = static_cast<PngCodec*>(png_get_io_ptr(png));
    try {
        codec->encoded->insert(codec->encoded->end(), data, data + size);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void flush(png_structp) {}

bool encode(PngCodec& codec, png_uint_32 width, png_uint_32 height, int channels, png_bytep* rows) {
    if (setjmp(png_jmpbuf(codec.png))) {
        return false;
    }
    png_set_write_fn(codec.png, &codec, append, flush);
    png_set_IHDR(codec.png, codec.info, width, height, 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(codec.png, codec.info);
    png_write_image(codec.png, rows);
    png_write_end(codec.png, nullptr);
    return true;
}

} // namespace

bool PngFile::isPng(const unsigned char* head, std::size_t size) {
    return size >= 8 && png_sig_cmp(head, 0, 8) == 0;
}

RgbaImage PngFile::read(const std::filesystem::path& path, const ImageLimits& limits) {
    const ImageIo::FileHandle file = ImageIo::openForReading(path);
    if (!file) {
        throw ImageIoError("cannot read " + path.string());
    }
    PngCodec codec;
    codec.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &codec, onError, onWarning);
    codec.info = codec.png != nullptr ? png_create_info_struct(codec.png) : nullptr;
    if (codec.info == nullptr) {
        throw ImageIoError("cannot read " + path.string() + ": out of memory");
    }
    // libpng's own refusal comes before ours can name the limit; keep it above ours.
    png_set_user_limits(codec.png, 0x7fffffff, 0x7fffffff);
    png_uint_32 width = 0, height = 0;
    int depth = 0;
    if (!readHeader(codec, file.get(), width, height, depth)) {
        throw ImageIoError("cannot read " + path.string() + ": " +
                           (codec.message[0] ? codec.message : "unsupported PNG layout"));
    }
    ImageIo::checkSize(path, width, height, limits);
    const std::size_t rowBytes = std::size_t(width) * 4 * (depth / 8);
    std::vector<unsigned char> pixels(rowBytes * height);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = pixels.data() + rowBytes * y;
    }
    if (!readRows(codec, rows.data())) {
        throw ImageIoError("cannot read " + path.string() + ": " + codec.message);
    }
    if (depth == 16) {
        std::vector<std::uint16_t> samples(pixels.size() / 2);
        std::memcpy(samples.data(), pixels.data(), pixels.size());
        return RgbaImage::fromTopFirst(samples.data(), int(width), int(height), 4, 1.0f / 65535.0f);
    }
    return RgbaImage::fromTopFirst(pixels.data(), int(width), int(height), 4, 1.0f / 255.0f);
}

void PngFile::write(const RgbaImage& image, const std::filesystem::path& path) {
    const int channels = image.opaqueInBytes() ? 3 : 4;
    std::vector<unsigned char> bytes = image.topFirstBytes(channels);
    std::vector<png_bytep> rows(image.height());
    for (int y = 0; y < image.height(); ++y) {
        rows[y] = bytes.data() + std::size_t(image.width()) * channels * y;
    }
    std::vector<unsigned char> encoded;
    PngCodec codec;
    codec.writing = true;
    codec.encoded = &encoded;
    codec.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &codec, onError, onWarning);
    codec.info = codec.png != nullptr ? png_create_info_struct(codec.png) : nullptr;
    if (codec.info == nullptr || !encode(codec, png_uint_32(image.width()),
                                         png_uint_32(image.height()), channels, rows.data())) {
        throw ImageIoError("cannot write " + path.string() + ": PNG encoding failed" +
                           (codec.message[0] ? std::string(": ") + codec.message : ""));
    }
    ImageIo::writeFile(path, encoded.data(), encoded.size());
}

} // namespace ofxhost
