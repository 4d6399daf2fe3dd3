#include "host/cli/ExrFile.h"

#include "host/cli/ImageIo.h"

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputPart.h>
#include <ImfMultiPartInputFile.h>
#include <ImfOutputFile.h>
#include <ImfPartType.h>
#include <ImfStdIO.h>
#include <ImfThreading.h>
#include <half.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace ofxhost {

namespace {

const std::pair<const char*, Imf::Compression> kCompressions[] = {
    {"none", Imf::NO_COMPRESSION},   {"rle", Imf::RLE_COMPRESSION},
    {"zips", Imf::ZIPS_COMPRESSION}, {"zip", Imf::ZIP_COMPRESSION},
    {"piz", Imf::PIZ_COMPRESSION},   {"pxr24", Imf::PXR24_COMPRESSION},
    {"b44", Imf::B44_COMPRESSION},   {"b44a", Imf::B44A_COMPRESSION},
    {"dwaa", Imf::DWAA_COMPRESSION}, {"dwab", Imf::DWAB_COMPRESSION},
};

void useAllCores() {
    static const bool set = [] {
        Imf::setGlobalThreadCount(
            static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
        return true;
    }();
    (void)set;
}

// The channels of one layer of one part: the file's names for R, G, B, A, empty where absent.
// A grey layer (Y, or one channel) has only R set; a lone channel stands for alpha too.
struct LayerChannels {
    int part = -1;
    std::array<std::string, 4> names;
    bool grey = false;
    bool single = false;
};

// The channels of part whose names are prefix + a name without further dots.
std::vector<std::string> channelsOf(const Imf::Header& header, const std::string& prefix) {
    std::vector<std::string> names;
    for (auto it = header.channels().begin(); it != header.channels().end(); ++it) {
        const std::string name = it.name();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            name.find('.', prefix.size()) == std::string::npos) {
            names.push_back(name);
        }
    }
    return names;
}

// R, G and B (or Y) of the layer, with A where there is one; with lone, a layer of one channel.
bool findIn(const Imf::Header& header, const std::string& prefix, bool lone, LayerChannels& found) {
    const std::vector<std::string> names = channelsOf(header, prefix);
    auto has = [&](const char* name) {
        return std::find(names.begin(), names.end(), prefix + name) != names.end();
    };
    const std::string alpha = has("A") ? prefix + "A" : "";
    if (has("R") && has("G") && has("B")) {
        found.names = {prefix + "R", prefix + "G", prefix + "B", alpha};
    } else if (has("Y")) {
        found.names = {prefix + "Y", "", "", alpha};
        found.grey = true;
    } else if (lone && names.size() == 1) {
        found.names = {names[0], "", "", ""};
        found.grey = found.single = true;
    } else {
        return false;
    }
    return true;
}

// Every layer name the file has, for the message when the asked one is not there.
std::string layersOf(Imf::MultiPartInputFile& file) {
    std::vector<std::string> layers;
    for (int p = 0; p < file.parts(); ++p) {
        const Imf::Header& header = file.header(p);
        std::set<std::string> named;
        header.channels().layers(named);
        layers.insert(layers.end(), named.begin(), named.end());
        if (header.hasName()) {
            layers.push_back(header.name());
        }
    }
    std::sort(layers.begin(), layers.end());
    layers.erase(std::unique(layers.begin(), layers.end()), layers.end());
    std::string text;
    for (const std::string& layer : layers) {
        text += (text.empty() ? "" : ", ") + layer;
    }
    return text.empty() ? "none" : text;
}

// The first image part with the layer: its channels named layer.X, or, in a part named layer,
// unprefixed ones. The unnamed layer is the unprefixed R, G, B (or Y) of the first part that
// has them. A layer of one channel only where no part has colour.
LayerChannels findLayer(Imf::MultiPartInputFile& file, const std::string& layer) {
    LayerChannels found;
    for (const bool lone : {false, true}) {
        for (int p = 0; p < file.parts(); ++p) {
            const Imf::Header& header = file.header(p);
            if (header.hasType() && !Imf::isImage(header.type())) {
                continue;
            }
            const bool named = !layer.empty() && header.hasName() && header.name() == layer;
            if (findIn(header, layer.empty() ? "" : layer + ".", lone, found) ||
                (named && findIn(header, "", lone, found))) {
                found.part = p;
                return found;
            }
        }
    }
    throw ImageIoError(layer.empty()
                           ? "it has no unnamed R, G and B (or Y) channels; its layers: " +
                                 layersOf(file) + " (--layer)"
                           : "it has no layer " + layer + "; its layers: " + layersOf(file));
}

// Reads into image's rows top-first; the caller flips them.
void readPart(Imf::MultiPartInputFile& file, const LayerChannels& layer, RgbaImage& image) {
    Imf::InputPart part(file, layer.part);
    const Imath::Box2i window = part.header().dataWindow();
    Imf::FrameBuffer frame;
    const std::size_t xStride = 4 * sizeof(float);
    const std::size_t yStride = xStride * std::size_t(image.width());
    for (int c = 0; c < 4; ++c) {
        const std::string& name = layer.names[c];
        if (name.empty()) {
            continue;
        }
        const Imf::Channel& channel = part.header().channels()[name];
        if (channel.xSampling != 1 || channel.ySampling != 1) {
            throw ImageIoError("channel " + name +
                               " is sub-sampled (luminance and chroma), which is not supported");
        }
        frame.insert(name, Imf::Slice::Make(Imf::FLOAT, image.data() + c, window, xStride, yStride,
                                            1, 1, c == 3 ? 1.0 : 0.0));
    }
    part.setFrameBuffer(frame);
    part.readPixels(window.min.y, window.max.y);
}

void finishChannels(const LayerChannels& layer, RgbaImage& image) {
    const std::size_t pixels = std::size_t(image.width()) * image.height();
    float* p = image.data();
    for (std::size_t i = 0; i < pixels; ++i, p += 4) {
        if (layer.grey) {
            p[1] = p[2] = p[0];
        }
        if (layer.names[3].empty()) {
            p[3] = layer.single ? p[0] : 1.0f;
        }
    }
}

void flipRows(RgbaImage& image) {
    const std::size_t rowFloats = std::size_t(image.width()) * 4;
    for (int top = 0, bottom = image.height() - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(image.pixel(0, top), image.pixel(0, top) + rowFloats,
                         image.pixel(0, bottom));
    }
}

// Reads what the header needs from an open file; false at its end or on a read error.
template <class Value>
bool readBytes(std::FILE* file, Value* value, std::size_t count = 1) {
    return std::fread(value, sizeof(Value), count, file) == count;
}

std::int32_t littleEndian(const unsigned char* bytes) {
    return std::int32_t(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                        std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
}

// A name or type: up to 255 characters (31 in files without long names) and its terminating
// zero; false when there is none that short.
bool readName(std::FILE* file, std::string& name) {
    name.clear();
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (c == 0) {
            return true;
        }
        if (name.size() == 255) {
            return false;
        }
        name.push_back(char(c));
    }
    return false;
}

// The data window of every part, from the headers alone, so no claimed size reaches the
// library's allocations before it is checked. False for headers that do not parse.
bool dataWindows(std::FILE* file, std::vector<std::array<std::int32_t, 4>>& windows) {
    unsigned char head[8];
    if (!readBytes(file, head, 8)) {
        return false;
    }
    const bool multipart = (head[6] & 0x10) != 0;
    for (;;) {
        std::string name, type;
        bool empty = true;
        bool found = false;
        std::array<std::int32_t, 4> window{};
        for (int attributes = 0;; ++attributes) {
            if (!readName(file, name) || attributes > 100000) {
                return false;
            }
            if (name.empty()) {
                break;
            }
            empty = false;
            unsigned char size[4];
            if (!readName(file, type) || !readBytes(file, size, 4) || littleEndian(size) < 0) {
                return false;
            }
            if (name == "dataWindow" && type == "box2i" && littleEndian(size) == 16) {
                unsigned char box[16];
                if (!readBytes(file, box, 16)) {
                    return false;
                }
                for (int i = 0; i < 4; ++i) {
                    window[i] = littleEndian(box + 4 * i);
                }
                found = true;
            } else if (std::fseek(file, littleEndian(size), SEEK_CUR) != 0) {
                return false;
            }
        }
        if (empty && multipart && !windows.empty()) {
            return true;
        }
        if (!found) {
            return false;
        }
        windows.push_back(window);
        if (!multipart) {
            return true;
        }
    }
}

} // namespace

bool ExrFile::knownCompression(const std::string& name) {
    return std::any_of(std::begin(kCompressions), std::end(kCompressions),
                       [&](const auto& known) { return name == known.first; });
}

RgbaImage ExrFile::read(const std::filesystem::path& path, const ImageLimits& limits,
                        const std::string& layer) {
    useAllCores();
    {
        std::vector<std::array<std::int32_t, 4>> windows;
        const ImageIo::FileHandle file = ImageIo::openForReading(path);
        if (!file || !dataWindows(file.get(), windows)) {
            throw ImageIoError("cannot read " + path.string() + ": not a readable EXR header");
        }
        for (const auto& window : windows) {
            // In 64 bits: a window of INT_MIN..INT_MAX overflows int.
            ImageIo::checkSize(path, std::int64_t(window[2]) - window[0] + 1,
                               std::int64_t(window[3]) - window[1] + 1, limits);
        }
    }
    // And the library's own guard, for tiles too.
    Imf::Header::setMaxImageSize(limits.maxSide, limits.maxSide);
    Imf::Header::setMaxTileSize(limits.maxSide, limits.maxSide);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ImageIoError("cannot read " + path.string());
    }
    try {
        Imf::StdIFStream stream(in, path.u8string().c_str());
        Imf::MultiPartInputFile file(stream);
        const LayerChannels channels = findLayer(file, layer);
        const Imf::Header& header = file.header(channels.part);
        const Imath::Box2i data = header.dataWindow();
        const Imath::Box2i display = header.displayWindow();
        RgbaImage image(data.max.x - data.min.x + 1, data.max.y - data.min.y + 1);
        readPart(file, channels, image);
        finishChannels(channels, image);
        flipRows(image);
        if (data != display) {
            image.placement = ImagePlacement{data.min.x,    data.min.y,    display.min.x,
                                             display.min.y, display.max.x, display.max.y};
        }
        return image;
    } catch (const ImageIoError& error) {
        const std::string message = error.what();
        if (message.rfind("cannot read ", 0) == 0) {
            throw;
        }
        throw ImageIoError("cannot read " + path.string() + ": " + message);
    } catch (const std::exception& error) {
        throw ImageIoError("cannot read " + path.string() + ": " + error.what());
    }
}

void ExrFile::write(const RgbaImage& image, const std::filesystem::path& path,
                    const ExrWriteOptions& options) {
    useAllCores();
    const int width = image.width();
    const int height = image.height();
    const ImagePlacement place =
        image.placement.value_or(ImagePlacement{0, 0, 0, 0, width - 1, height - 1});
    const Imath::Box2i data(Imath::V2i(place.dataMinX, place.dataMinY),
                            Imath::V2i(place.dataMinX + width - 1, place.dataMinY + height - 1));
    const Imath::Box2i display(Imath::V2i(place.displayMinX, place.displayMinY),
                               Imath::V2i(place.displayMaxX, place.displayMaxY));
    const auto compression =
        std::find_if(std::begin(kCompressions), std::end(kCompressions),
                     [&](const auto& known) { return options.compression == known.first; });
    if (compression == std::end(kCompressions)) {
        throw ImageIoError("cannot write " + path.string() + ": no compression " +
                           options.compression);
    }
    // Top row first, as the file stores it, in the stored type: the library converts on
    // reading only.
    const std::size_t rowFloats = std::size_t(width) * 4;
    std::vector<float> floats;
    std::vector<half> halves;
    if (options.half) {
        halves.resize(rowFloats * height);
    } else {
        floats.resize(rowFloats * height);
    }
    for (int row = 0; row < height; ++row) {
        const float* from = image.pixel(0, height - 1 - row);
        if (options.half) {
            std::copy(from, from + rowFloats, halves.begin() + rowFloats * row);
        } else {
            std::copy(from, from + rowFloats, floats.begin() + rowFloats * row);
        }
    }
    try {
        Imf::Header header(display, data);
        header.compression() = compression->second;
        const Imf::PixelType stored = options.half ? Imf::HALF : Imf::FLOAT;
        const std::size_t sampleBytes = options.half ? sizeof(half) : sizeof(float);
        const char* base = options.half ? reinterpret_cast<const char*>(halves.data())
                                        : reinterpret_cast<const char*>(floats.data());
        Imf::FrameBuffer frame;
        const char* names[4] = {"R", "G", "B", "A"};
        for (int c = 0; c < 4; ++c) {
            header.channels().insert(names[c], Imf::Channel(stored));
            frame.insert(names[c], Imf::Slice::Make(stored, base + c * sampleBytes, data,
                                                    4 * sampleBytes, rowFloats * sampleBytes));
        }
        Imf::StdOSStream encoded;
        {
            Imf::OutputFile file(encoded, header);
            file.setFrameBuffer(frame);
            file.writePixels(height);
        }
        const std::string bytes = encoded.str();
        ImageIo::writeFile(path, bytes.data(), bytes.size());
    } catch (const ImageIoError&) {
        throw;
    } catch (const std::exception& error) {
        throw ImageIoError("cannot write " + path.string() + ": " + error.what());
    }
}

} // namespace ofxhost
