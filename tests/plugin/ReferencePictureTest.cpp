// Every look of the plug-in rendered through the real bundle and held to the pictures in
// tests/plugin/reference, so that faster kernels cannot move the picture unnoticed. Runs on the
// backend HALDEN_BACKEND names (the CPU backend when unset). HALDEN_REGENERATE_REFERENCES=1
// rewrites the pictures instead (scripts/regenerate-reference-pictures.sh).
#include "PluginSession.h"

#include "host/cli/ExrFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>

using ofxhost::HostImage;
using ofxhost::RgbaImage;
using testplugin::PluginSession;

namespace {

const OfxRectI kFrame{0, 0, 96, 54};

struct Look {
    const char* name; // also the file name
    // name=value with x,y for 2D; on top of kWide for every look but the defaults.
    std::string settings;
    const char* differsFrom; // an earlier look that must render differently
    double time = 0;
    bool kernelMap = false;
};

// At 54 lines a 6-pixel disc of 96 samples, about one a pixel, so the discs are filled rather
// than speckled.
const std::string kWide = "blur_radius=120 oversample=4 sample_divisor=1.5 max_samples=1024";
const std::string kOcclusion = "fg_texture=2 fg_opacity=1 fg_speed=2 fg_range=30 fg_turbulence=1 "
                               "fg_orientation=20 fg_scale=3,3 fg_offset=0.2,0";

// Together they switch on every effect of the plug-in.
const std::vector<Look> kLooks = {
    {"defaults", "", nullptr},
    {"wide", "", "defaults"},
    {"iris-blades",
     "aperture_enable=1 blade_count=6 blade_rotation=20 blade_curvature=0.35 blade_softness=0.2 "
     "edge_width=0.3 edge_falloff=1",
     "wide"},
    {"catseye-swirl",
     "catseye_enable=1 catseye_strength=1.2 catseye_exponent=1 catseye_radius=0.8 "
     "catseye_softness=0.5 swirl_enable=1 swirl_factor=1.8 swirl_exponent=1",
     "wide"},
    {"anamorphic-misalignment",
     "anamorphic=1.8,1 superq_enable=1 superq_scale=0.8 dimple_depth=0.8 dimple_exponent=2 "
     "radial_skew=1.2",
     "wide"},
    {"falloff-rack-focus",
     "falloff_enable=1 rack_focus=-0.3 falloff_exponent=1.5 optical_center=0.3,0.1 "
     "optical_scale=0.8 vignette_enable=1 vignette_strength=0.7 vignette_exponent=1.5",
     "wide"},
    {"depth-map",
     "falloff_enable=1 falloff_type=2 falloff_strength=0.9 rack_focus=0.1 "
     "falloff_exponent=1",
     "wide", 0, true},
    {"occlusion-frame0", kOcclusion, "wide"},
    {"occlusion-frame12", kOcclusion, "occlusion-frame0", 12},
    {"kernel-map", "kernel_enable=1 kernel_rotation=30", "wide", 0, true},
    {"rec709-reflect",
     "colorspace=1 edge_mode=1 post_blur_scale=0.4 bokeh_contrast=120 bokeh_power=4 "
     "bokeh_smooth=1 quality_preset=1 sample_divisor=2 min_samples=64 max_samples=256",
     "wide"},
    {"blend", "Blend=0.4 falloff_enable=1 falloff_type=1 falloff_strength=0.5 falloff_angle=30",
     "wide"},
};

// Bright points, some coloured, some at the borders, over a dim gradient; alpha 1.
std::shared_ptr<HostImage> sourcePicture() {
    auto image = std::make_shared<HostImage>(kFrame);
    for (int y = 0; y < kFrame.y2; ++y) {
        for (int x = 0; x < kFrame.x2; ++x) {
            float* p = image->pixel(x, y);
            p[0] = 0.02f + 0.08f * float(x) / float(kFrame.x2);
            p[1] = 0.03f + 0.05f * float(y) / float(kFrame.y2);
            p[2] = 0.05f;
            p[3] = 1;
        }
    }
    const struct {
        int x, y;
        float r, g, b;
    } points[] = {{12, 10, 30, 30, 30}, {48, 27, 50, 50, 50}, {80, 44, 40, 12, 4},
                  {88, 8, 6, 20, 45},   {2, 51, 25, 25, 25},  {30, 40, 10, 35, 10},
                  {66, 18, 35, 35, 30}, {95, 27, 20, 20, 20}};
    for (const auto& point : points) {
        float* p = image->pixel(point.x, point.y);
        p[0] = point.r;
        p[1] = point.g;
        p[2] = point.b;
    }
    return image;
}

// Colour: a warm ring, dimmer on the left so a rotation shows. Alpha: dark (blurred) on the
// left to white (sharp) on the right.
std::shared_ptr<HostImage> kernelMapPicture() {
    auto image = std::make_shared<HostImage>(kFrame);
    for (int y = 0; y < kFrame.y2; ++y) {
        for (int x = 0; x < kFrame.x2; ++x) {
            const float u = 2 * (x + 0.5f) / float(kFrame.x2) - 1;
            const float v = 2 * (y + 0.5f) / float(kFrame.y2) - 1;
            const float r = std::sqrt(u * u + v * v);
            const float level = (r > 0.4f && r < 1.0f ? 1.0f : 0.1f) * (u < 0 ? 0.5f : 1.0f);
            float* p = image->pixel(x, y);
            p[0] = level;
            p[1] = 0.6f * level;
            p[2] = 0.3f * level;
            p[3] = float(x) / float(kFrame.x2 - 1);
        }
    }
    return image;
}

RgbaImage render(const Look& look) {
    SCOPED_TRACE(look.name);
    PluginSession session;
    if (look.name != std::string("defaults")) {
        testplugin::setValues(session.instance, kWide + " " + look.settings);
    }
    if (look.kernelMap) {
        session.instance.setClipImage("KernelMap", kernelMapPicture());
    }
    auto output = std::make_shared<HostImage>(kFrame);
    EXPECT_EQ(session.render(sourcePicture(), output, look.time), kOfxStatOK) << look.name;
    RgbaImage picture(kFrame.x2, kFrame.y2);
    for (int y = 0; y < kFrame.y2; ++y) {
        std::copy_n(output->pixel(0, y), 4 * kFrame.x2, picture.pixel(0, y));
    }
    return picture;
}

float largestDifference(const RgbaImage& a, const RgbaImage& b) {
    float largest = 0;
    for (std::size_t i = 0; i < std::size_t(a.width()) * a.height() * 4; ++i) {
        largest = std::max(largest, std::fabs(a.data()[i] - b.data()[i]));
    }
    return largest;
}

// Empty when got matches want: 99.9 % of the values within 1e-5 and all within 1e-3, relative
// to the value with a floor of 1 (a sample on the edge of a weight may flip).
std::string mismatch(const RgbaImage& got, const RgbaImage& want) {
    if (got.width() != want.width() || got.height() != want.height()) {
        return "size " + std::to_string(want.width()) + "x" + std::to_string(want.height()) +
               " stored";
    }
    const std::size_t count = std::size_t(got.width()) * got.height() * 4;
    std::size_t loose = 0;
    std::size_t worst = 0;
    double worstError = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double error = std::fabs(double(got.data()[i]) - want.data()[i]) /
                             std::max(1.0, std::fabs(double(want.data()[i])));
        if (!(error <= 1e-5)) {
            ++loose;
        }
        if (!(error <= worstError)) {
            worstError = error;
            worst = i;
        }
    }
    if (loose <= count / 1000 && worstError <= 1e-3) {
        return "";
    }
    const std::size_t pixel = worst / 4;
    std::ostringstream text;
    text << 100.0 * double(loose) / double(count) << " % of the values beyond 1e-5; worst "
         << got.data()[worst] << " for " << want.data()[worst] << " at x " << pixel % got.width()
         << ", y " << pixel / got.width() << " (from the bottom), channel "
         << "RGBA"[worst % 4];
    return text.str();
}

TEST(ReferencePictures, EveryLookRendersAsItsStoredPicture) {
    const char* requested = std::getenv("HALDEN_BACKEND");
    const std::string backend = requested != nullptr && *requested ? requested : "cpu";
    testenv::ScopedVariable forced("HALDEN_BACKEND", backend);
    const char* regenerate = std::getenv("HALDEN_REGENERATE_REFERENCES");
    const bool rewrite = regenerate != nullptr && std::string(regenerate) == "1";

    std::map<std::string, RgbaImage> rendered;
    for (const Look& look : kLooks) {
        const RgbaImage picture = render(look);
        if (look.differsFrom != nullptr) {
            EXPECT_GT(largestDifference(picture, rendered.at(look.differsFrom)), 1e-3f)
                << look.name << " looks like " << look.differsFrom;
        }
        const std::filesystem::path file =
            std::filesystem::path(HALDEN_REFERENCE_DIR) / (std::string(look.name) + ".exr");
        try {
            if (rewrite) {
                ofxhost::ImageIo::write(picture, file);
            }
            const std::string problem = mismatch(picture, ofxhost::ImageIo::read(file));
            EXPECT_TRUE(problem.empty())
                << look.name << " on the " << backend << " backend: " << problem;
        } catch (const std::exception& error) {
            ADD_FAILURE() << look.name << ": " << error.what()
                          << " (scripts/regenerate-reference-pictures.sh writes it)";
        }
        rendered.emplace(look.name, picture);
    }
}

} // namespace
