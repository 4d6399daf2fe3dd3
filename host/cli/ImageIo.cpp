#include "host/cli/ImageIo.h"

#include "host/cli/ExrFile.h"
#include "host/cli/JpegFile.h"
#include "host/cli/PngFile.h"
#include "host/cli/StbFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace ofxhost {

namespace {

std::string lowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool startsWithExrMagic(const unsigned char* head, std::size_t size) {
    // 0x762f3101, little-endian, opens every OpenEXR file.
    const unsigned char magic[4] = {0x76, 0x2f, 0x31, 0x01};
    return size >= 4 && std::equal(head, head + 4, magic);
}

} // namespace

ImageIo::Format ImageIo::outputFormat(const std::filesystem::path& path) {
    const std::string extension = lowerExtension(path);
    if (extension == ".exr") {
        return Format::Exr;
    }
    if (extension == ".png") {
        return Format::Png;
    }
    if (extension == ".jpg" || extension == ".jpeg") {
        return Format::Jpeg;
    }
    throw ImageIoError("cannot write " + path.string() +
                       ": unknown image format (use .exr, .png or .jpg)");
}

void ImageIo::checkSize(const std::filesystem::path& path, std::int64_t width, std::int64_t height,
                        const ImageLimits& limits) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width < 1 || height < 1) {
        throw ImageIoError("cannot read " + path.string() + ": its size is " + size);
    }
    if (width > limits.maxSide || height > limits.maxSide) {
        throw ImageIoError("cannot read " + path.string() + ": " + size + " is more than " +
                           std::to_string(limits.maxSide) + " pixels on a side (--max-side)");
    }
    const double bytes = double(width) * double(height) * ImageLimits::kBytesPerPixel;
    if (bytes > limits.maxBytes) {
        char needed[64];
        std::snprintf(needed, sizeof needed, "%.1f GiB, more than the %.1f GiB", bytes / (1u << 30),
                      limits.maxBytes / (1u << 30));
        throw ImageIoError("cannot read " + path.string() + ": rendering " + size + " needs " +
                           needed + " allowed (--max-memory)");
    }
}

ImageIo::FileHandle ImageIo::openForReading(const std::filesystem::path& path) {
#if defined(_WIN32)
    return FileHandle(_wfopen(path.c_str(), L"rb"), &std::fclose);
#else
    return FileHandle(std::fopen(path.c_str(), "rb"), &std::fclose);
#endif
}

RgbaImage ImageIo::read(const std::filesystem::path& path, const ImageLimits& limits,
                        const std::string& layer) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw ImageIoError("no such image file: " + path.string());
    }
    unsigned char head[8] = {};
    std::size_t size = 0;
    if (const FileHandle file = openForReading(path)) {
        size = std::fread(head, 1, sizeof head, file.get());
    } else {
        throw ImageIoError("cannot read " + path.string() + ": " + std::strerror(errno));
    }
    if (startsWithExrMagic(head, size)) {
        return ExrFile::read(path, limits, layer);
    }
    if (!layer.empty()) {
        throw ImageIoError("cannot read layer " + layer + " of " + path.string() +
                           ": only EXR files have layers");
    }
    if (PngFile::isPng(head, size)) {
        return PngFile::read(path, limits);
    }
    if (JpegFile::isJpeg(head, size)) {
        return JpegFile::read(path, limits);
    }
    return StbFile::read(path, limits);
}

void ImageIo::writeFile(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::filesystem::path temporary = path;
    temporary += ".partial-" + std::to_string(std::random_device{}());
    auto failed = [&](const std::string& reason) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return ImageIoError("cannot write " + path.string() + ": " + reason);
    };
#if defined(_WIN32)
    std::FILE* file = _wfopen(temporary.c_str(), L"wb");
#else
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
#endif
    if (file == nullptr) {
        throw failed(std::strerror(errno));
    }
    int error = 0;
    if (std::fwrite(data, 1, size, file) != size || std::fflush(file) != 0) {
        error = errno;
    }
#if !defined(_WIN32)
    // Where space is only found short at write-back (network and copy-on-write file systems).
    if (error == 0 && fsync(fileno(file)) != 0) {
        error = errno;
    }
#endif
    if (std::fclose(file) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        throw failed(std::strerror(error));
    }
#if defined(_WIN32)
    if (MoveFileExW(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        throw failed("cannot replace it (Windows error " + std::to_string(GetLastError()) + ")");
    }
#else
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        throw failed(renamed.message());
    }
#endif
}

void ImageIo::write(const RgbaImage& image, const std::filesystem::path& path,
                    const ExrWriteOptions& exr) {
    switch (outputFormat(path)) {
    case Format::Exr:
        ExrFile::write(image, path, exr);
        break;
    case Format::Png:
        PngFile::write(image, path);
        break;
    case Format::Jpeg:
        JpegFile::write(image, path);
        break;
    }
}

} // namespace ofxhost
