#include "gpu/CudaRuntime.h"
#include "gpu/HostRuntime.h"

#include <gtest/gtest.h>

// The CUDA backend as the CI machines see it: built in, but with no driver or device. It must
// load, fail every call with CUDA's codes and never crash; its error texts are the ones the
// CPU backend reproduces.

namespace {

using gpu::Error;

TEST(CudaRuntime, ErrorTextsMatchTheCpuBackend) {
    gpu::CudaRuntime cuda;
    gpu::HostRuntime host;
    const Error errors[] = {Error::Success,
                            Error::InvalidValue,
                            Error::MemoryAllocation,
                            Error::InitializationError,
                            Error::InvalidPitchValue,
                            Error::InvalidDevicePointer,
                            Error::InvalidTexture,
                            Error::InvalidChannelDescriptor,
                            Error::InvalidMemcpyDirection,
                            Error::InsufficientDriver,
                            Error::NoDevice,
                            Error::InvalidResourceHandle,
                            Error::IllegalAddress,
                            Error::LaunchFailure,
                            Error::NotSupported,
                            Error::Unknown,
                            static_cast<Error>(12345)};
    for (Error error : errors) {
        EXPECT_STREQ(cuda.getErrorString(error), host.getErrorString(error))
            << static_cast<int>(error);
    }
}

TEST(CudaRuntime, WithoutADeviceEveryCallFailsCleanly) {
    if (gpu::CudaRuntime::deviceAvailable()) {
        GTEST_SKIP() << "a CUDA device answers here";
    }
    gpu::CudaRuntime cuda;
    EXPECT_STREQ(cuda.name(), "cuda");
    void* memory = nullptr;
    EXPECT_NE(cuda.malloc(&memory, 256), Error::Success);
    gpu::ArrayHandle array = 0;
    EXPECT_NE(cuda.mallocArray(&array, 4, 4, gpu::kArraySurfaceLoadStore), Error::Success);
    EXPECT_EQ(array, 0u);
    gpu::TextureObject texture = 0;
    EXPECT_NE(cuda.createTextureObject(&texture, gpu::ResourceDesc::fromArray(array),
                                       gpu::TextureDesc::standard()),
              Error::Success);
    EXPECT_EQ(texture, 0u);
    gpu::MemoryType type = gpu::MemoryType::Device;
    const Error query = cuda.pointerGetAttributes(&type, &type);
    EXPECT_NE(query, Error::Success);
    EXPECT_STRNE(cuda.getErrorString(query), "");
    EXPECT_NE(cuda.deviceSynchronize(), Error::Success);
    EXPECT_NE(cuda.getLastError(), Error::Success);
}

} // namespace
