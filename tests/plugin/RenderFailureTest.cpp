// Through the real bundle: renders whose device calls fail, device memory the runtime does not
// own, and images laid out as hosts really hand them.
#include "PluginSession.h"

#include "host/effect/DeviceImage.h"
#include "host/effect/DeviceMemory.h"

#include "gpu/HostRuntime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#if defined(_WIN32)
#if !defined(NOMINMAX)
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/mman.h>
#endif

using ofxhost::DeviceImage;
using ofxhost::DeviceMemory;
using ofxhost::HostImage;
using ofxhost::ImageSource;
using ofxhost::ParamValue;
using testplugin::Emulation;
using testplugin::pixels;
using testplugin::PluginSession;
using testplugin::randomImage;
using Op = gpu::HostRuntime::Operation;

namespace {

// Blend 0.5 makes the final pass read the source as well as the result.
void halfBlend(ofxhost::EffectInstance& instance) {
    ASSERT_EQ(instance.setValue("Blend", ParamValue::of(0.5)), kOfxStatOK);
}

bool isAllocation(Op op) {
    return op == Op::Malloc || op == Op::MallocArray;
}

bool isRelease(Op op) {
    return op == Op::Free || op == Op::FreeArray || op == Op::DestroyTextureObject ||
           op == Op::DestroySurfaceObject;
}

TEST(RenderFailure, AFailureAtAnyDeviceCallFailsTheRenderAndTheNextRenderIsClean) {
    PluginSession session;
    Emulation emu(session);
    if (emu.live() < 0) {
        GTEST_SKIP() << "failure injection exists on the CPU backend only";
    }
    const OfxRectI frame{0, 0, 24, 16};
    auto source = randomImage(frame, 7);
    const auto fresh = [&]() -> ofxhost::EffectInstance& {
        ofxhost::EffectInstance& instance =
            session.plugin.createInstance(kOfxImageEffectContextFilter);
        halfBlend(instance);
        return instance;
    };
    auto reference = std::make_shared<HostImage>(frame);
    halfBlend(session.instance);
    ASSERT_EQ(session.render(source, reference), kOfxStatOK);
    const std::vector<float> clean = pixels(*reference);

    // A new instance's first render makes every kind of call: each one in turn fails once.
    int failures = 0;
    for (std::size_t index = 0; index < gpu::HostRuntime::kOperationCount; ++index) {
        const Op op = static_cast<Op>(index);
        const gpu::Error error =
            isAllocation(op) ? gpu::Error::MemoryAllocation : gpu::Error::LaunchFailure;
        for (int nth = 1;; ++nth) {
            const long long liveBefore = emu.live();
            ofxhost::EffectInstance& instance = fresh();
            auto output = std::make_shared<HostImage>(frame);
            ASSERT_EQ(emu.inject(int(index), nth, int(error)), 0);
            const OfxStatus status = testplugin::renderFrame(instance, source, output);
            const bool reached = emu.inject(int(index), 0, 0) == 0;
            SCOPED_TRACE("operation " + std::to_string(index) + ", call " + std::to_string(nth));
            if (!reached) {
                EXPECT_EQ(status, kOfxStatOK);
                session.plugin.destroyInstance(instance);
                break;
            }
            // A failed pointer query is answered by a safe assumption (host for inputs): the
            // render may go on, but then with the right picture.
            if (op == Op::PointerGetAttributes) {
                EXPECT_TRUE(status == kOfxStatOK || status == kOfxStatFailed) << status;
                if (status == kOfxStatOK) {
                    EXPECT_EQ(pixels(*output), clean);
                }
            } else {
                EXPECT_EQ(status, isAllocation(op) ? kOfxStatErrMemory : kOfxStatFailed);
                ++failures;
            }
            auto again = std::make_shared<HostImage>(frame);
            EXPECT_EQ(testplugin::renderFrame(instance, source, again), kOfxStatOK);
            EXPECT_EQ(pixels(*again), clean);
            session.plugin.destroyInstance(instance);
            // A release the runtime refused leaves its object; nothing else survives.
            EXPECT_EQ(emu.live() - liveBefore, isRelease(op) ? 1 : 0);
        }
    }
    EXPECT_GT(failures, 40);
}

// Pages that fault on any access, handed over as if they were the host's device memory.
class ForeignDeviceImage : public HostImage {
public:
    explicit ForeignDeviceImage(OfxRectI bounds)
        : HostImage(bounds), bytes_(rowBytes() * height()) {
#if defined(_WIN32)
        pages_ = VirtualAlloc(nullptr, bytes_, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
#else
        pages_ = mmap(nullptr, bytes_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        pages_ = pages_ == MAP_FAILED ? nullptr : pages_;
#endif
    }
    ~ForeignDeviceImage() override {
#if defined(_WIN32)
        VirtualFree(pages_, 0, MEM_RELEASE);
#else
        munmap(pages_, bytes_);
#endif
    }
    void* data() const override {
        return pages_;
    }
    MemoryKind memoryKind() const override {
        return MemoryKind::Device;
    }

private:
    std::size_t bytes_;
    void* pages_ = nullptr;
};

TEST(RenderFailure, DeviceMemoryTheRuntimeDoesNotOwnIsRefusedUntouchedAndTheUserIsTold) {
    PluginSession session;
    const OfxRectI frame{0, 0, 32, 18};
    const DeviceMemory memory = DeviceMemory::fromLibrary(session.bundle.library());
    auto host = randomImage(frame, 3);
    auto source = std::make_shared<DeviceImage>(memory, frame);
    source->upload(*host);
    auto output = std::make_shared<DeviceImage>(memory, frame);
    auto foreign = std::make_shared<ForeignDeviceImage>(frame);
    ASSERT_NE(foreign->data(), nullptr);

    EXPECT_EQ(session.render(foreign, output, 0.0, true), kOfxStatErrUnsupported);
    const auto message = session.instance.persistentMessage();
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->type, kOfxMessageError);
    EXPECT_EQ(session.render(source, foreign, 0.0, true), kOfxStatErrUnsupported);
    // Host memory where the host promised device memory is not the runtime's either.
    EXPECT_EQ(session.render(host, output, 0.0, true), kOfxStatErrUnsupported);

    ASSERT_EQ(session.render(source, output, 0.0, true), kOfxStatOK);
    EXPECT_FALSE(session.instance.persistentMessage().has_value());
}

// out(x, y) = source at (x, y) clamped into the source's bounds; alpha too inside them.
void expectClampedCopy(const HostImage& output, const HostImage& source) {
    const OfxRectI o = output.bounds();
    const OfxRectI s = source.bounds();
    for (int y = o.y1; y < o.y2; ++y) {
        for (int x = o.x1; x < o.x2; ++x) {
            const int cx = std::clamp(x, s.x1, s.x2 - 1);
            const int cy = std::clamp(y, s.y1, s.y2 - 1);
            const float* got = output.pixel(x, y);
            const int channels = cx == x && cy == y ? 4 : 3;
            ASSERT_TRUE(std::equal(got, got + channels, source.pixel(cx, cy))) << x << "," << y;
        }
    }
}

// A host buffer stored top row first: OFX addresses it from the bottom row with negative row
// bytes.
class TopDownImage : public ImageSource {
public:
    explicit TopDownImage(const HostImage& image)
        : bounds_(image.bounds()), stride_(image.width() * 4),
          storage_(std::size_t(stride_) * std::size_t(image.height())) {
        for (int row = 0; row < image.height(); ++row) {
            std::copy_n(image.pixel(bounds_.x1, bounds_.y1 + row), stride_, rowPointer(row));
        }
    }
    void copyTo(HostImage& image) const {
        for (int row = 0; row < image.height(); ++row) {
            std::copy_n(rowPointer(row), stride_, image.pixel(bounds_.x1, bounds_.y1 + row));
        }
    }
    void* data() const override { return rowPointer(0); }
    OfxRectI bounds() const override { return bounds_; }
    int rowBytes() const override { return -stride_ * int(sizeof(float)); }

private:
    float* rowPointer(int row) const {
        return const_cast<float*>(storage_.data()) +
               std::size_t(bounds_.y2 - bounds_.y1 - 1 - row) * std::size_t(stride_);
    }

    OfxRectI bounds_;
    int stride_;
    std::vector<float> storage_;
};

// Without blur the output is the source: also where it is offset from the frame or stored
// top row first, read inside its bounds only.
TEST(RenderFailure, WithoutBlurTheSourceComesBackHoweverItIsLaidOut) {
    enum class Layout { Host, Device, TopDown };
    const OfxRectI frame{0, 0, 80, 45};
    for (const Layout layout : {Layout::Host, Layout::Device, Layout::TopDown}) {
        for (const OfxRectI bounds : {frame, OfxRectI{20, 10, 50, 30}, OfxRectI{-15, 12, 60, 60}}) {
            PluginSession session;
            testplugin::setValues(session.instance, "Blend=0.5 blur_radius=0 post_blur_scale=0");
            auto source = randomImage(bounds, 11);
            auto output = std::make_shared<HostImage>(frame);
            if (layout == Layout::Device) {
                const DeviceMemory memory = DeviceMemory::fromLibrary(session.bundle.library());
                auto deviceSource = std::make_shared<DeviceImage>(memory, bounds);
                deviceSource->upload(*source);
                auto deviceOutput = std::make_shared<DeviceImage>(memory, frame);
                ASSERT_EQ(session.render(deviceSource, deviceOutput, 0.0, true), kOfxStatOK);
                deviceOutput->download(*output);
            } else if (layout == Layout::TopDown) {
                auto topDownOutput = std::make_shared<TopDownImage>(*output);
                ASSERT_EQ(session.render(std::make_shared<TopDownImage>(*source), topDownOutput),
                          kOfxStatOK);
                topDownOutput->copyTo(*output);
            } else {
                ASSERT_EQ(session.render(source, output), kOfxStatOK);
            }
            expectClampedCopy(*output, *source);
        }
    }
}

TEST(RenderFailure, ASecondFrameAllocatesNothingForOddWidthsAndNewHostBuffers) {
    // Allocations made by the second frame, and its picture. Host sources come in a new buffer
    // every frame, as some hosts hand them.
    struct SecondFrame {
        long long allocations;
        std::vector<float> picture;
    };
    const auto secondFrame = [](int width, bool device) {
        PluginSession session;
        Emulation emu(session);
        halfBlend(session.instance);
        const OfxRectI frame{0, 0, width, 20};
        const DeviceMemory memory = DeviceMemory::fromLibrary(session.bundle.library());
        auto host = randomImage(frame, 9);
        auto source = std::make_shared<DeviceImage>(memory, frame);
        source->upload(*host);
        auto output = std::make_shared<DeviceImage>(memory, frame);
        const auto input = [&]() -> std::shared_ptr<ImageSource> {
            if (device) {
                return source;
            }
            auto copy = std::make_shared<HostImage>(frame);
            std::copy_n(host->pixel(0, 0), 4 * width * 20, copy->pixel(0, 0));
            return copy;
        };
        EXPECT_EQ(session.render(input(), output, 0.0, device), kOfxStatOK);
        const long long before = emu.allocations();
        EXPECT_EQ(session.render(input(), output, 0.0, device), kOfxStatOK);
        HostImage result(frame);
        output->download(result);
        // -1 - -1 on the CUDA backend, which does not count; the pictures still compare.
        return SecondFrame{emu.allocations() - before, pixels(result)};
    };
    // 32 texels a row: the device source is sampled in place; 33: the rows cannot be, and are
    // copied into an array.
    const SecondFrame even = secondFrame(32, true);
    const SecondFrame odd = secondFrame(33, true);
    const SecondFrame oddHost = secondFrame(33, false);
    // Nothing is made again for a frame of the same size: no array or buffer is freed per
    // frame, which would wait for the whole device.
    EXPECT_EQ(even.allocations, 0);
    EXPECT_EQ(odd.allocations, even.allocations);
    EXPECT_EQ(oddHost.allocations, even.allocations);
    EXPECT_EQ(odd.picture, oddHost.picture);
}

// A host that moves an instance to another GPU (or context): the objects made on the first are
// released there and made again on the second, and the frame comes out the same. Without that,
// the second device would be handed the first one's handles.
TEST(RenderFailure, AnInstanceMovedToAnotherDeviceMakesItsObjectsAgainThere) {
    PluginSession session;
    Emulation emu(session);
    halfBlend(session.instance);
    const OfxRectI frame{0, 0, 33, 20};
    auto source = randomImage(frame, 5);
    auto output = std::make_shared<HostImage>(frame);
    ASSERT_EQ(session.render(source, output), kOfxStatOK);
    const std::vector<float> first = pixels(*output);
    const long long live = emu.live();
    ASSERT_EQ(emu.setDevice(1), 0);
    const OfxStatus moved = session.render(source, output);
    const std::vector<float> second = pixels(*output);
    const long long liveMoved = emu.live();
    ASSERT_EQ(emu.setDevice(0), 0);
    EXPECT_EQ(moved, kOfxStatOK);
    EXPECT_EQ(second, first);
    EXPECT_EQ(liveMoved, live) << "the first device's objects were released";
    // And back, as a host balancing its GPUs would.
    EXPECT_EQ(session.render(source, output), kOfxStatOK);
    EXPECT_EQ(pixels(*output), first);
}

} // namespace
