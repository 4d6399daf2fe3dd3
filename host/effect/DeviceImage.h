#pragma once

#include "host/effect/DeviceMemory.h"
#include "host/effect/ImageSource.h"

namespace ofxhost {

class HostImage;

// An RGBA float image in device memory, as a GPU host hands it over with CUDA rendering on:
// unpadded rows, freed on destruction. Pixels move to and from host images by copies.
class DeviceImage : public ImageSource {
public:
    DeviceImage(const DeviceMemory& memory, OfxRectI bounds);
    ~DeviceImage() override;
    DeviceImage(const DeviceImage&) = delete;
    DeviceImage& operator=(const DeviceImage&) = delete;

    // The host image must have the same bounds; throws HostError otherwise.
    void upload(const HostImage& image);
    void download(HostImage& image) const;

    void* data() const override { return pixels_; }
    OfxRectI bounds() const override { return bounds_; }
    int rowBytes() const override { return rowBytes_; }
    MemoryKind memoryKind() const override { return MemoryKind::Device; }

private:
    void checkBounds(const HostImage& image) const;

    DeviceMemory memory_;
    OfxRectI bounds_;
    int rowBytes_;
    std::size_t size_;
    void* pixels_ = nullptr;
};

} // namespace ofxhost
