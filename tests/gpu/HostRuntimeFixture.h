#pragma once

// A CPU-backend runtime for one test: what the test makes through these helpers is released at
// the end, last made first, each release must succeed, and nothing may be left alive after.

#include "gpu/HostRuntime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

class HostRuntimeTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto release = releases_.rbegin(); release != releases_.rend(); ++release) {
            EXPECT_EQ((*release)(), gpu::Error::Success);
        }
        EXPECT_TRUE(rt_.liveCounts().empty());
    }

    std::uint8_t* device(std::size_t bytes) {
        void* memory = nullptr;
        EXPECT_EQ(rt_.malloc(&memory, bytes), gpu::Error::Success);
        releases_.push_back([this, memory] { return rt_.free(memory); });
        return static_cast<std::uint8_t*>(memory);
    }

    // A width x height array, filled row by row from texels where they are given.
    gpu::ArrayHandle array(std::size_t width, std::size_t height, unsigned flags = 0,
                           const gpu::Texel* texels = nullptr) {
        gpu::ArrayHandle handle = 0;
        EXPECT_EQ(rt_.mallocArray(&handle, width, height, flags), gpu::Error::Success);
        releases_.push_back([this, handle] { return rt_.freeArray(handle); });
        const std::size_t row = width * gpu::kTexelBytes;
        if (texels != nullptr) {
            EXPECT_EQ(rt_.memcpy2DToArray(handle, 0, 0, texels, row, row, height,
                                          gpu::MemcpyKind::HostToDevice),
                      gpu::Error::Success);
        }
        return handle;
    }

    gpu::TextureObject texture(const gpu::ResourceDesc& resource, const gpu::TextureDesc& desc) {
        gpu::TextureObject handle = 0;
        EXPECT_EQ(rt_.createTextureObject(&handle, resource, desc), gpu::Error::Success);
        releases_.push_back([this, handle] { return rt_.destroyTextureObject(handle); });
        return handle;
    }

    gpu::SurfaceObject surface(gpu::ArrayHandle array) {
        gpu::SurfaceObject handle = 0;
        EXPECT_EQ(rt_.createSurfaceObject(&handle, array), gpu::Error::Success);
        releases_.push_back([this, handle] { return rt_.destroySurfaceObject(handle); });
        return handle;
    }

    gpu::HostRuntime rt_;

private:
    std::vector<std::function<gpu::Error()>> releases_;
};
