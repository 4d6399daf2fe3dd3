#include "ParityKernels.h"

#include "gpu/CudaRuntime.h"
#include "gpu/DeviceCompat.h"
#include "gpu/HostRuntime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The CPU emulation against a real CUDA device: the same texels sampled at the same
// coordinates must agree to float rounding, and bad calls must fail with the same codes.
// Skipped where no CUDA device answers.

namespace {

using gpu::AddressMode;
using gpu::Error;
using gpu::FilterMode;
using gpu::Texel;

constexpr std::size_t kTexel = gpu::kTexelBytes;
constexpr int kWidth = 5;
constexpr int kHeight = 3;
// Rows padded from 80 to 96 bytes for the pitch-2D textures.
constexpr std::size_t kPitch = 96;
// Filtering in hardware rounds differently from float arithmetic on the CPU; texels are in
// [0, 1], so this is a few units in the last place.
constexpr float kTolerance = 2e-6f;

bool deviceAnswers() {
    static const bool answers = gpu::CudaRuntime::deviceAvailable();
    return answers;
}

// Padded rows; the padding holds values no sample may ever return.
std::vector<Texel> paddedImage() {
    std::vector<Texel> texels(kPitch / kTexel * kHeight, Texel{1000.0f, 1000.0f, 1000.0f, 1000.0f});
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const float base = static_cast<float>(y * kWidth + x) / (kWidth * kHeight);
            texels[y * (kPitch / kTexel) + x] = {base, 1.0f - base, std::sin(3.0f * base) * 0.5f,
                                                 (x % 2) == 0 ? 1.0f : 0.25f};
        }
    }
    return texels;
}

// One texture over the image on one runtime; releases what it made.
class BackendTexture {
public:
    BackendTexture(gpu::Runtime& rt, bool pitch2D, const gpu::TextureDesc& desc) : rt_(rt) {
        const std::vector<Texel> texels = paddedImage();
        if (pitch2D) {
            result_ = rt_.malloc(&linear_, kPitch * kHeight);
            if (result_ == Error::Success) {
                result_ = rt_.memcpyAsync(linear_, texels.data(), kPitch * kHeight,
                                          gpu::MemcpyKind::HostToDevice, 0);
            }
            if (result_ == Error::Success) {
                result_ = rt_.createTextureObject(
                    &texture_, gpu::ResourceDesc::fromPitch2D(linear_, kWidth, kHeight, kPitch),
                    desc);
            }
        } else {
            result_ = rt_.mallocArray(&array_, kWidth, kHeight, 0);
            if (result_ == Error::Success) {
                result_ = rt_.memcpy2DToArray(array_, 0, 0, texels.data(), kPitch, kWidth * kTexel,
                                              kHeight, gpu::MemcpyKind::HostToDevice);
            }
            if (result_ == Error::Success) {
                result_ =
                    rt_.createTextureObject(&texture_, gpu::ResourceDesc::fromArray(array_), desc);
            }
        }
        if (result_ == Error::Success) {
            result_ = rt_.deviceSynchronize();
        }
    }
    ~BackendTexture() {
        rt_.destroyTextureObject(texture_);
        rt_.freeArray(array_);
        rt_.free(linear_);
    }
    BackendTexture(const BackendTexture&) = delete;
    BackendTexture& operator=(const BackendTexture&) = delete;

    Error result() const { return result_; }
    gpu::TextureObject texture() const { return texture_; }

private:
    gpu::Runtime& rt_;
    void* linear_ = nullptr;
    gpu::ArrayHandle array_ = 0;
    gpu::TextureObject texture_ = 0;
    Error result_ = Error::Success;
};

// Coordinates well outside [0, 1] in both axes, on a step that is no multiple of 1/256 texel.
std::vector<float> coordinates() {
    std::vector<float> uv;
    for (float v : {-0.3f, 0.0f, 0.1f, 0.5f, 0.77f, 1.0f, 1.4f}) {
        for (float u = -1.25f; u < 2.25f; u += 0.01337f) {
            uv.push_back(u);
            uv.push_back(v);
        }
    }
    return uv;
}

using SamplingCase = std::tuple<bool, AddressMode, FilterMode>;

class TextureParity : public ::testing::TestWithParam<SamplingCase> {
protected:
    void SetUp() override {
        if (!deviceAnswers()) {
            GTEST_SKIP() << "no CUDA device answers";
        }
    }
};

TEST_P(TextureParity, CpuSamplesMatchTheDevice) {
    const auto [pitch2D, mode, filter] = GetParam();
    gpu::TextureDesc desc = gpu::TextureDesc::standard();
    desc.addressMode[0] = mode;
    desc.addressMode[1] = mode;
    desc.filterMode = filter;
    desc.borderColor[0] = 0.25f;
    desc.borderColor[3] = 0.5f;

    gpu::CudaRuntime cuda;
    gpu::HostRuntime host;
    const BackendTexture onDevice(cuda, pitch2D, desc);
    const BackendTexture onHost(host, pitch2D, desc);
    ASSERT_EQ(onDevice.result(), Error::Success) << cuda.getErrorString(onDevice.result());
    ASSERT_EQ(onHost.result(), Error::Success);

    const std::vector<float> uv = coordinates();
    const int count = static_cast<int>(uv.size() / 2);
    std::vector<float> device(4 * static_cast<std::size_t>(count));
    ASSERT_EQ(parity::fetchOnDevice(onDevice.texture(), uv.data(), count, device.data()), 0);

    int mismatches = 0;
    for (int i = 0; i < count; ++i) {
        const float4 cpu = gpu::texFetch(onHost.texture(), uv[2 * i], uv[2 * i + 1]);
        const float expected[4] = {cpu.x, cpu.y, cpu.z, cpu.w};
        for (int c = 0; c < 4; ++c) {
            if (std::fabs(device[4 * i + c] - expected[c]) > kTolerance && ++mismatches <= 8) {
                ADD_FAILURE() << "u=" << uv[2 * i] << " v=" << uv[2 * i + 1] << " channel " << c
                              << ": device " << device[4 * i + c] << ", cpu " << expected[c];
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << 4 * count << " values";
}

std::string caseName(const ::testing::TestParamInfo<SamplingCase>& info) {
    static const char* const kModes[] = {"Wrap", "Clamp", "Mirror", "Border"};
    return std::string(std::get<0>(info.param) ? "Pitch2D" : "Array") +
           kModes[static_cast<int>(std::get<1>(info.param))] +
           (std::get<2>(info.param) == FilterMode::Linear ? "Linear" : "Point");
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, TextureParity,
    ::testing::Combine(::testing::Bool(),
                       ::testing::Values(AddressMode::Clamp, AddressMode::Wrap, AddressMode::Mirror,
                                         AddressMode::Border),
                       ::testing::Values(FilterMode::Linear, FilterMode::Point)),
    caseName);

// Surface writes by a CUDA kernel and by the emulation leave the same array contents.
TEST(SurfaceParity, WritesLandOnTheSameTexels) {
    if (!deviceAnswers()) {
        GTEST_SKIP() << "no CUDA device answers";
    }
    const int xy[] = {0, 0, 4, 0, 2, 1, 4, 2};
    const float rgba[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    gpu::CudaRuntime cuda;
    gpu::HostRuntime host;
    std::vector<Texel> results[2];
    gpu::Runtime* runtimes[2] = {&cuda, &host};
    for (int r = 0; r < 2; ++r) {
        gpu::Runtime& rt = *runtimes[r];
        gpu::ArrayHandle array = 0;
        gpu::SurfaceObject surface = 0;
        const std::vector<Texel> zeros(kWidth * kHeight, Texel{0, 0, 0, 0});
        ASSERT_EQ(rt.mallocArray(&array, kWidth, kHeight, gpu::kArraySurfaceLoadStore),
                  Error::Success);
        ASSERT_EQ(rt.memcpy2DToArray(array, 0, 0, zeros.data(), kWidth * kTexel, kWidth * kTexel,
                                     kHeight, gpu::MemcpyKind::HostToDevice),
                  Error::Success);
        ASSERT_EQ(rt.createSurfaceObject(&surface, array), Error::Success);
        if (r == 0) {
            ASSERT_EQ(parity::writeOnDevice(surface, xy, rgba, 4), 0);
        } else {
            for (int i = 0; i < 4; ++i) {
                gpu::surfWrite(
                    make_float4(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], rgba[4 * i + 3]),
                    surface, xy[2 * i], xy[2 * i + 1]);
            }
        }
        results[r].resize(kWidth * kHeight);
        ASSERT_EQ(rt.memcpy2DFromArrayAsync(results[r].data(), kWidth * kTexel, array, 0, 0,
                                            kWidth * kTexel, kHeight, gpu::MemcpyKind::DeviceToHost,
                                            0),
                  Error::Success);
        ASSERT_EQ(rt.streamSynchronize(0), Error::Success);
        EXPECT_EQ(rt.destroySurfaceObject(surface), Error::Success);
        EXPECT_EQ(rt.freeArray(array), Error::Success);
    }
    for (std::size_t i = 0; i < results[0].size(); ++i) {
        EXPECT_EQ(results[0][i].x, results[1][i].x) << i;
        EXPECT_EQ(results[0][i].w, results[1][i].w) << i;
    }
}

// The codes of bad calls, in a fixed order, with the last error read after each.
std::vector<std::pair<std::string, int>> badCallCodes(gpu::Runtime& rt) {
    std::vector<std::pair<std::string, int>> codes;
    const auto record = [&](const char* what, Error error) {
        codes.emplace_back(what, static_cast<int>(error));
        codes.emplace_back(std::string(what) + " (last error)",
                           static_cast<int>(rt.getLastError()));
    };
    void* memory = nullptr;
    gpu::ArrayHandle plain = 0;
    std::vector<unsigned char> host(4096);
    if (rt.malloc(&memory, 4096) != Error::Success ||
        rt.mallocArray(&plain, 4, 4, 0) != Error::Success) {
        return {{"setup", -1}};
    }
    auto* bytes = static_cast<unsigned char*>(memory);
    gpu::TextureObject texture = 0;
    gpu::SurfaceObject surface = 0;
    record("pitch 48",
           rt.createTextureObject(&texture, gpu::ResourceDesc::fromPitch2D(memory, 2, 2, 48),
                                  gpu::TextureDesc::standard()));
    record("base off alignment",
           rt.createTextureObject(&texture, gpu::ResourceDesc::fromPitch2D(bytes + 32, 1, 2, 32),
                                  gpu::TextureDesc::standard()));
    record("surface without flag", rt.createSurfaceObject(&surface, plain));
    record("to array as DeviceToHost",
           rt.memcpy2DToArray(plain, 0, 0, host.data(), 64, 64, 4, gpu::MemcpyKind::DeviceToHost));
    record("to array past the end",
           rt.memcpy2DToArray(plain, 0, 1, host.data(), 64, 64, 4, gpu::MemcpyKind::HostToDevice));
    record("width above pitch",
           rt.memcpy2DAsync(memory, 32, host.data(), 64, 64, 2, gpu::MemcpyKind::HostToDevice, 0));
    record("kind 7", rt.memcpyAsync(memory, host.data(), 16, static_cast<gpu::MemcpyKind>(7), 0));
    gpu::MemoryType type = gpu::MemoryType::Managed;
    record("query host", rt.pointerGetAttributes(&type, host.data()));
    codes.emplace_back("host type", static_cast<int>(type));
    record("free interior", rt.free(bytes + 16));
    rt.free(memory);
    rt.freeArray(plain);
    return codes;
}

TEST(ErrorParity, BadCallsFailWithTheDevicesCodes) {
    if (!deviceAnswers()) {
        GTEST_SKIP() << "no CUDA device answers";
    }
    gpu::CudaRuntime cuda;
    gpu::HostRuntime host;
    const auto onDevice = badCallCodes(cuda);
    const auto onHost = badCallCodes(host);
    ASSERT_EQ(onDevice.size(), onHost.size());
    for (std::size_t i = 0; i < onDevice.size(); ++i) {
        EXPECT_EQ(onDevice[i].second, onHost[i].second) << onDevice[i].first;
    }
}

} // namespace
