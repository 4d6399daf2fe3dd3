#include "host/cli/JpegFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h expects size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

namespace ofxhost {

namespace {

constexpr int kQuality = 95;
// Progressive files may hold any number of scans, each a pass over the whole picture: a
// small file could keep the decoder busy for minutes. Real encoders write about a dozen.
constexpr int kMaxScans = 500;

// libjpeg reports errors through error_exit, which must not return: it longjmps back to the
// setjmp of the function that called libjpeg, whose locals are all trivially destructible.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = "";
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    info->err->format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Data cut short or garbled: libjpeg would go on and fill the rest with grey, which a render
// should not take for the picture. Other warnings (stray bytes between markers, which cameras
// write) leave the picture whole.
void onMessage(j_common_ptr info, int level) {
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER ||
                      code == JWRN_HUFF_BAD_CODE || code == JWRN_MUST_RESYNC)) {
        onError(info);
    }
}

void onProgress(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        auto* errors = reinterpret_cast<JpegErrors*>(info->err);
        std::snprintf(errors->message, sizeof errors->message, "more than %d scans", kMaxScans);
        std::longjmp(errors->jump, 1);
    }
}

struct Decoder {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
    bool created = false;

    ~Decoder() {
        if (created) {
            jpeg_destroy_decompress(&info);
        }
    }
};

bool readHeader(Decoder& decoder, std::FILE* file) {
    if (setjmp(decoder.errors.jump)) {
        return false;
    }
    jpeg_create_decompress(&decoder.info);
    decoder.created = true;
    decoder.progress.progress_monitor = onProgress;
    decoder.info.progress = &decoder.progress;
    jpeg_stdio_src(&decoder.info, file);
    jpeg_read_header(&decoder.info, TRUE);
    decoder.info.out_color_space = JCS_RGB;
    return true;
}

bool readRows(Decoder& decoder, unsigned char* pixels, std::size_t rowBytes) {
    if (setjmp(decoder.errors.jump)) {
        return false;
    }
    jpeg_start_decompress(&decoder.info);
    if (decoder.info.output_components != 3) {
        std::snprintf(decoder.errors.message, sizeof decoder.errors.message,
                      "%d components instead of RGB", decoder.info.output_components);
        return false;
    }
    while (decoder.info.output_scanline < decoder.info.output_height) {
        JSAMPROW row = pixels + rowBytes * decoder.info.output_scanline;
        jpeg_read_scanlines(&decoder.info, &row, 1);
    }
    jpeg_finish_decompress(&decoder.info);
    return true;
}

struct Encoder {
    jpeg_compress_struct info{};
    JpegErrors errors{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;

    ~Encoder() {
        if (created) {
            jpeg_destroy_compress(&info);
        }
        std::free(buffer);
    }
};

bool encode(Encoder& encoder, int width, int height, const unsigned char* pixels) {
    if (setjmp(encoder.errors.jump)) {
        return false;
    }
    jpeg_create_compress(&encoder.info);
    encoder.created = true;
    jpeg_mem_dest(&encoder.info, &encoder.buffer, &encoder.size);
    encoder.info.image_width = JDIMENSION(width);
    encoder.info.image_height = JDIMENSION(height);
    encoder.info.input_components = 3;
    encoder.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&encoder.info);
    jpeg_set_quality(&encoder.info, kQuality, TRUE);
    // Full-resolution colour: a blur's soft edges show chroma subsampling as fringes.
    for (int c = 0; c < encoder.info.num_components; ++c) {
        encoder.info.comp_info[c].h_samp_factor = 1;
        encoder.info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&encoder.info, TRUE);
    const std::size_t rowBytes = std::size_t(width) * 3;
    while (encoder.info.next_scanline < encoder.info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels) + rowBytes * encoder.info.next_scanline;
        jpeg_write_scanlines(&encoder.info, &row, 1);
    }
    jpeg_finish_compress(&encoder.info);
    return true;
}

} // namespace

bool JpegFile::isJpeg(const unsigned char* head, std::size_t size) {
    return size >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff;
}

RgbaImage JpegFile::read(const std::filesystem::path& path, const ImageLimits& limits) {
    const ImageIo::FileHandle file = ImageIo::openForReading(path);
    if (!file) {
        throw ImageIoError("cannot read " + path.string());
    }
    Decoder decoder;
    decoder.info.err = jpeg_std_error(&decoder.errors.manager);
    decoder.errors.manager.error_exit = onError;
    decoder.errors.manager.emit_message = onMessage;
    if (!readHeader(decoder, file.get())) {
        throw ImageIoError("cannot read " + path.string() + ": " + decoder.errors.message);
    }
    ImageIo::checkSize(path, decoder.info.image_width, decoder.info.image_height, limits);
    const int width = int(decoder.info.image_width);
    const int height = int(decoder.info.image_height);
    const std::size_t rowBytes = std::size_t(width) * 3;
    std::vector<unsigned char> pixels(rowBytes * height);
    if (!readRows(decoder, pixels.data(), rowBytes)) {
        throw ImageIoError("cannot read " + path.string() + ": " + decoder.errors.message);
    }
    return RgbaImage::fromTopFirst(pixels.data(), width, height, 3, 1.0f / 255.0f);
}

void JpegFile::write(const RgbaImage& image, const std::filesystem::path& path) {
    const std::vector<unsigned char> bytes = image.topFirstBytes(3);
    Encoder encoder;
    encoder.info.err = jpeg_std_error(&encoder.errors.manager);
    encoder.errors.manager.error_exit = onError;
    if (!encode(encoder, image.width(), image.height(), bytes.data())) {
        throw ImageIoError("cannot write " + path.string() +
                           ": JPEG encoding failed: " + encoder.errors.message);
    }
    ImageIo::writeFile(path, encoder.buffer, encoder.size);
}

} // namespace ofxhost
