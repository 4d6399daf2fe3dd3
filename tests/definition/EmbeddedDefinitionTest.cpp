// The definition compiled into the library, checked against the effect's published tables.
#include "definition/EmbeddedDefinition.h"
#include "definition/XMLEffectDefinition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Numeric {
    double defaultValue = 0.0;
    double min = 0.0;
    double max = 0.0;
    double displayMin = 0.0;
    double displayMax = 0.0;
    double increment = 0.0;
};

struct Component {
    double defaultValue, min, max, increment;
};

struct Expected {
    const char* name;
    const char* type;
    const char* label;
    const char* hint;
    Numeric numeric;
    bool boolDefault = false;
    std::vector<Component> components = {};
};

// clang-format off
const std::vector<Expected> kParameters = {
    {"blur_radius", "float", "Blur Radius", "Blur amount in pixels (scaled relative to 1080p - same value gives same look at any resolution)", {35.0, 0.0, 200.0, 0.0, 100.0, 0.01}},
    {"optical_center", "vec2", "Optical Center", "Center point for all radial effects including falloff, vignette, cat's eye, and swirl", {}, false, {{0.0, -1.0, 1.0, 0.001}, {0.0, -0.5, 0.5, 0.001}}},
    {"bokeh_contrast", "float", "Strength", "How much bright areas pop in the bokeh (0=uniform blur, higher=highlights stand out more)", {38.0, 0.0, 500.0, 0.0, 300.0, 0.1}},
    {"bokeh_power", "float", "Selectivity", "Which brightness levels pop (higher=only brightest highlights, lower=more inclusive)", {9.0, 1.0, 20.0, 1.0, 15.0, 0.01}},
    {"bokeh_smooth", "float", "Blend", "Smoothness of the pop effect (higher=softer blend, more uniform blur)", {2.0, 0.1, 10.0, 0.5, 5.0, 0.01}},
    {"anamorphic", "vec2", "Anamorphic", "simulate anamorphic lenses - X/Y stretch of bokeh shape (1,1=circular, 2,1=2x wider, 1,2=2x taller)", {}, false, {{1.0, 0.1, 5.0, 0.01}, {1.0, 0.1, 5.0, 0.01}}},
    {"radial_skew", "float", "Astigmatism", "Make a nice bright edge on the inner our outer bounds of the bokeh.", {0.0, -3.0, 3.0, -2.0, 2.0, 0.01}},
    {"dimple_depth", "float", "Dimple Depth", "Dims the center of bokeh circles (0=no dimple, 1=fully dark center)", {0.0, 0.0, 1.0, 0.0, 1.0, 0.01}},
    {"dimple_exponent", "float", "Dimple Curve", "Shape of the dimple falloff (1=linear, 2=quadratic, higher=sharper edge)", {2.0, 0.05, 4.0, 0.5, 3.0, 0.01}},
    {"edge_width", "float", "Soft Edge Width", "Width of soft edge zone on bokeh disc (0=hard edge, 0.3=30% of radius is soft)", {0.0, 0.0, 1.0, 0.0, 0.5, 0.01}},
    {"edge_falloff", "float", "Soft Edge Falloff", "Curve shape for edge softness (1=linear, 2=quadratic, higher=sharper transition)", {2.0, 0.1, 4.0, 0.5, 3.0, 0.01}},
    {"optical_scale", "float", "Optical Scale", "Normalizes distance to frame diagonal (1.0=corners at full distance)", {1.0, 0.1, 2.0, 0.5, 1.5, 0.01}},
    {"falloff_enable", "bool", "Enable Falloff", "Enable blur falloff from optical center (radial) or along a line (linear/tilt shift)", {}, false},
    {"falloff_type", "choice", "Falloff Type", "Radial=from center, Depth Gradient=from line, Custom Depth Map=KernelMap alpha (white=sharp, black=blur)", {0}},
    {"falloff_strength", "float", "Falloff Strength", "How much falloff affects blur (0=full blur everywhere, 1=full falloff effect)", {1.0, 0.0, 1.0, 0.0, 1.0, 0.01}},
    {"rack_focus", "float", "Rack Focus", "Shifts the in-focus plane along the falloff gradient (0=focus at center/line, negative=shift toward near, positive=shift toward far)", {0.0, -5.0, 5.0, -2.0, 2.0, 0.01}},
    {"falloff_exponent", "float", "Falloff Exponent", "Curve shape for falloff (1=linear, 2=quadratic, higher=steeper)", {2.0, 0.5, 4.0, 0.5, 3.0, 0.01}},
    {"falloff_angle", "float", "Falloff Angle", "Angle of linear falloff line (0=horizontal, 90=vertical)", {0.0, -360.0, 360.0, -90.0, 90.0, 0.01}},
    {"swirl_enable", "bool", "Enable Swirl", "Enable swirly bokeh effect like antique Soviet-era lenses", {}, false},
    {"swirl_factor", "float", "Swirl Factor", "Swirly Bokeh effect, like those antique soviet era lenses.", {0.25, -3.0, 3.0, -1.0, 2.0, 0.01}},
    {"swirl_exponent", "float", "Swirl Exponent", "Falloff curve for swirl strength (1=linear, higher=concentrated at edges)", {0.7, 0.5, 4.0, 0.5, 3.0, 0.01}},
    {"catseye_enable", "bool", "Enable Cat's Eye", "Simulate mechanical vignetting that creates elliptical bokeh at frame edges", {}, false},
    {"catseye_strength", "float", "Cat's Eye Strength", "How much the blocking circle shifts toward center (0=none, 1=strong clipping)", {-1.25, -2.0, 2.0, -1.5, 1.5, 0.01}},
    {"catseye_exponent", "float", "Cat's Eye Falloff", "How quickly the effect increases toward edges (1=linear, 2=quadratic)", {0.25, 0.05, 4.0, 0.1, 3.0, 0.01}},
    {"catseye_radius", "float", "Cat's Eye Radius", "Size of the blocking circle (1.0=matches bokeh, smaller=more clipping)", {1.5, 0.1, 2.0, 0.5, 1.5, 0.01}},
    {"catseye_softness", "float", "Cat's Eye Softness", "Edge softness of the blocking (0=hard edge, higher=softer transition)", {0.0, 0.0, 5.0, 0.0, 3.0, 0.01}},
    {"aperture_enable", "bool", "Enable IrisBlades", "Enable Aperture Blades (off=circular bokeh)", {}, false},
    {"blade_count", "int", "Iris Blades Count", "Number of aperture blades for polygon shape", {5, 3, 12, 3, 9, 0.1}},
    {"blade_rotation", "float", "Aperture Rotation", "Rotation of aperture blades in degrees", {0.0, -180.0, 180.0, -90.0, 90.0, 0.01}},
    {"blade_curvature", "float", "Blade Curvature", "Curvature of aperture blades (0=straight edges, 1=circular)", {0.0, 0.0, 1.0, 0.0, 1.0, 0.01}},
    {"blade_softness", "float", "Blade Softness", "Edge softness of aperture shape (0=hard edge, higher=softer)", {0.1, 0.0, 1.0, 0.0, 0.5, 0.01}},
    {"superq_enable", "bool", "Enable Misalignment", "Enable cinematic misalignment effect (GPU expensive)", {}, false},
    {"superq_exponent", "vec2", "Cinematic Misalignment", "Simulates a very specific and popular use of non-standard alignments of lens elements, used to heighten evocative scenarios. Very sensitive - and gpu expensive.  Try values around 0.4 to start.", {}, false, {{0.381, 0.001, 4.0, 0.01}, {0.75, 0.001, 4.0, 0.01}}},
    {"superq_falloff", "float", "M.Optical Falloff", "How quickly shape transitions from circle at center to target at edges", {0.708, 0.01, 4.0, 0.1, 3.0, 0.01}},
    {"superq_scale", "float", "M.Optical Scale", "Distance scale for Cinematic Misalignment effect (1.0=corners at full distance)", {0.165, 0.01, 2.0, 0.1, 1.5, 0.01}},
    {"superq_amount", "float", "M.Amount", "Multiplier for misalignment effect (0=no effect, 1=full effect, >1=exaggerated)", {1.0, 0.0, 2.0, 0.0, 1.5, 0.01}},
    {"vignette_enable", "bool", "Enable Vignette", "Enable radial edge darkening effect", {}, false},
    {"vignette_strength", "float", "Vignette Strength", "Amount of edge darkening (0=none, 1=full darkening at corners)", {0.5, 0.0, 1.0, 0.0, 1.0, 0.01}},
    {"vignette_exponent", "float", "Vignette Falloff", "Curve shape for vignette (1=linear, 2=quadratic, higher=steeper)", {2.0, 0.5, 4.0, 0.5, 3.0, 0.01}},
    {"fg_texture", "choice", "Occlusion Texture", "Select bundled silhouette to occlude bokeh (simulates grass/branches in extreme foreground)", {0}},
    {"fg_opacity", "float", "Occlusion Opacity", "How much the occlusion affects the bokeh (0=none, 1=full occlusion)", {0.5, 0.0, 1.0, 0.0, 1.0, 0.01}},
    {"fg_speed", "float", "Animation Speed", "Speed of wind-like animation (0.5=gentle breeze, 1.0=moderate wind)", {0.5, 0.0, 5.0, 0.0, 2.0, 0.01}},
    {"fg_range", "float", "Rotation Range", "Maximum rotation in degrees (sways +/- this amount)", {15.0, 0.0, 90.0, 0.0, 15.0, 0.01}},
    {"fg_turbulence", "float", "Turbulence", "Motion character (0=pure smooth sines, 0.5=natural hybrid, 1+=fBm dominant)", {0.3, 0.0, 3.0, 0.0, 1.5, 0.01}},
    {"fg_lacunarity", "float", "Lacunarity", "Frequency multiplier between octaves (1.5=smooth, 2.0=classic, 3.0+=detailed)", {2.0, 1.0, 4.0, 1.5, 3.0, 0.01}},
    {"fg_time_offset", "float", "Time Offset", "Time offset in seconds (varies start point for different shots)", {0.0, -100.0, 100.0, -10.0, 10.0, 0.01}},
    {"fg_scale", "vec2", "Scale", "Scale of the occlusion image (1,1=fill bokeh disc, 2,1=2x wider)", {}, false, {{6.0, 0.1, 15.0, 0.01}, {6.0, 0.1, 15.0, 0.01}}},
    {"fg_orientation", "float", "Orientation", "Static rotation of the occluder texture in degrees (applied before wind animation)", {0.0, -180.0, 180.0, -180.0, 180.0, 0.01}},
    {"fg_offset", "vec2", "Offset", "Position offset in unit circle space", {}, false, {{0.0, -2.0, 2.0, 0.01}, {0.0, -2.0, 2.0, 0.01}}},
    {"fg_pivot", "vec2", "Pivot Point", "Occluder's Rotation pivot - likely below the image, like -5 or -10", {}, false, {{0.0, -20.0, 20.0, 0.01}, {-5.0, -20.0, 20.0, 0.01}}},
    {"fg_parallax", "float", "Parallax", "Shifts occluder texture based on screen position to simulate viewing through foreground from different angles (0=off, +/-1=full parallax using scale headroom, negative inverts direction)", {1.0, -2.0, 2.0, -1.0, 1.0, 0.01}},
    {"quality_preset", "choice", "Quality", "Sample count multiplier for draft vs final quality (affects min/max samples)", {3}},
    {"min_samples", "int", "Min Samples", "Minimum number of samples (used for small blur radii)", {128, 8, 512, 16, 256, 0.1}},
    {"max_samples", "int", "Max Samples", "Maximum number of samples (used for large blur radii)", {512, 16, 1024, 64, 512, 0.1}},
    {"oversample", "float", "Oversample Factor", "Quality multiplier for sample count (1.0=normal, 2.0=double samples)", {1.0, 0.5, 4.0, 0.5, 2.0, 0.01}},
    {"sample_divisor", "float", "Sample Divisor", "Area per sample in sq pixels (lower=denser sampling, 5=each sample covers ~5 sq px of blur disk)", {3.5, 1.0, 20.0, 2.0, 10.0, 0.01}},
    {"post_blur_scale", "float", "Post Blur Scale", "Multiplier for post-blur radius (0=none, 0.1=10% of bokeh radius)", {0.15, 0.0, 0.5, 0.0, 0.3, 0.01}},
    {"edge_mode", "bool", "Reflect Edges", "Off=stretch edges, On=reflect edges", {}, false},
    {"colorspace", "choice", "Input Colorspace", "Linearize input for accurate bokeh (Rec709 gamma removes for processing, restores on output)", {0}},
    {"kernel_enable", "bool", "Enable Custom Kernel", "Use external kernel map to define bokeh shape (connect image to KernelMap input)", {}, false},
    {"kernel_rotation", "float", "Kernel Rotation", "Rotation of the kernel map in degrees", {0.0, -180.0, 180.0, -180.0, 180.0, 0.1}},
};
// clang-format on

class EmbeddedDefinition : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(definition.parseEmbedded(embeddedEffectDefinition())); }
    XMLEffectDefinition definition;
};

TEST_F(EmbeddedDefinition, DescribesTheLensBlurEffect) {
    EXPECT_EQ(definition.name(), "BRMR Halden");
    EXPECT_EQ(definition.category(), "Brinmoor");
    EXPECT_EQ(definition.version(), "1.1");
    EXPECT_EQ(definition.debugLevel(), "error");
    EXPECT_EQ(definition.description(),
              "High-quality lens blur with bokeh character controls using spiral sampling");
    EXPECT_EQ(definition.context(), "filter");
    EXPECT_FALSE(definition.isTransition());
    EXPECT_FALSE(definition.supportsTimeline());
    EXPECT_FALSE(definition.supportsMatte());
    EXPECT_TRUE(definition.isFrameVarying());
    EXPECT_TRUE(definition.identityConditions().empty());
    EXPECT_TRUE(definition.accumulationBuffers().empty());
}

TEST_F(EmbeddedDefinition, HasARequiredSourceAndAnOptionalWhiteKernelMap) {
    const std::vector<InputDef>& inputs = definition.inputs();
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(inputs[0].name, "Source");
    EXPECT_EQ(inputs[0].label, "Source");
    EXPECT_EQ(inputs[0].noInputMode, "error");
    EXPECT_FALSE(inputs[0].optional);
    EXPECT_EQ(inputs[1].name, "KernelMap");
    EXPECT_EQ(inputs[1].label, "KernelMap");
    EXPECT_EQ(inputs[1].noInputMode, "white");
    EXPECT_TRUE(inputs[1].optional);
    for (const InputDef& input : inputs) {
        EXPECT_EQ(input.borderMode, "clamp");
    }
}

TEST_F(EmbeddedDefinition, HasEveryParameterInSlotOrderWithItsRangesAndHints) {
    const std::vector<ParameterDef>& parameters = definition.parameters();
    ASSERT_EQ(parameters.size(), 61u);
    ASSERT_EQ(kParameters.size(), 61u);
    for (std::size_t i = 0; i < kParameters.size(); ++i) {
        const Expected& want = kParameters[i];
        const ParameterDef& got = parameters[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.type, want.type);
        EXPECT_EQ(got.label, want.label);
        EXPECT_EQ(got.hint, want.hint);
        EXPECT_EQ(got.resDependent, "none");
        EXPECT_EQ(&definition.getParameter(want.name), &got);
        const std::string type = want.type;
        if (type == "bool") {
            EXPECT_EQ(got.boolDefault, want.boolDefault);
        } else if (type == "choice") {
            EXPECT_DOUBLE_EQ(got.defaultValue, want.numeric.defaultValue);
        } else if (type == "vec2") {
            ASSERT_EQ(got.components.size(), 2u);
            for (std::size_t c = 0; c < 2; ++c) {
                EXPECT_EQ(got.components[c].name, c == 0 ? "x" : "y");
                EXPECT_DOUBLE_EQ(got.components[c].defaultValue, want.components[c].defaultValue);
                EXPECT_DOUBLE_EQ(got.components[c].min, want.components[c].min);
                EXPECT_DOUBLE_EQ(got.components[c].max, want.components[c].max);
                EXPECT_DOUBLE_EQ(got.components[c].increment, want.components[c].increment);
            }
        } else {
            EXPECT_DOUBLE_EQ(got.defaultValue, want.numeric.defaultValue);
            EXPECT_DOUBLE_EQ(got.min, want.numeric.min);
            EXPECT_DOUBLE_EQ(got.max, want.numeric.max);
            EXPECT_DOUBLE_EQ(got.displayMin, want.numeric.displayMin);
            EXPECT_DOUBLE_EQ(got.displayMax, want.numeric.displayMax);
            EXPECT_DOUBLE_EQ(got.increment, want.numeric.increment);
        }
    }
}

std::vector<std::string> optionLabels(const ParameterDef& param) {
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < param.options.size(); ++i) {
        EXPECT_EQ(param.options[i].value, std::to_string(i));
        labels.push_back(param.options[i].label);
    }
    return labels;
}

TEST_F(EmbeddedDefinition, ChoicesOfferTheirOptionsInOrder) {
    using Labels = std::vector<std::string>;
    EXPECT_EQ(optionLabels(definition.getParameter("falloff_type")),
              (Labels{"Radial", "Depth Gradient (Linear)", "Custom Depth Map"}));
    EXPECT_EQ(optionLabels(definition.getParameter("fg_texture")),
              (Labels{"None", "Branches (Dense)", "Branches (Thin)", "Grass (Dense)",
                      "Grass (Sparse 1)", "Grass (Sparse 2)"}));
    EXPECT_EQ(optionLabels(definition.getParameter("quality_preset")),
              (Labels{"Quarter (fast draft)", "Third", "Half", "Full (final)"}));
    EXPECT_EQ(optionLabels(definition.getParameter("colorspace")),
              (Labels{"Linear (no conversion)", "Rec.709 (linearize)"}));
}

TEST_F(EmbeddedDefinition, GroupsAndPagesLayOutEveryControl) {
    EXPECT_EQ(definition.topLevelParameters(),
              (std::vector<std::string>{"blur_radius", "optical_center"}));

    const std::vector<std::pair<std::string, std::size_t>> groups = {{"Bokeh Pop", 3},
                                                                     {"Optics", 7},
                                                                     {"Falloff/Rack Focus", 6},
                                                                     {"Swirly Bokeh", 3},
                                                                     {"Cat's Eye", 5},
                                                                     {"Iris Blades", 5},
                                                                     {"Cinematic Misalignment", 5},
                                                                     {"Vignette", 3},
                                                                     {"Bokeh Occlusion", 12},
                                                                     {"Sampling", 8},
                                                                     {"Custom Kernel", 2}};
    ASSERT_EQ(definition.uiGroups().size(), groups.size());
    std::size_t placed = definition.topLevelParameters().size();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const UIGroupDef& group = definition.uiGroups()[i];
        EXPECT_EQ(group.name, groups[i].first);
        EXPECT_EQ(group.parameters.size(), groups[i].second) << group.name;
        EXPECT_FALSE(group.open);
        EXPECT_TRUE(group.tooltip.empty());
        EXPECT_TRUE(group.columns.empty());
        placed += group.parameters.size();
    }
    // Each parameter appears exactly once: the groups follow the parameter order.
    EXPECT_EQ(placed, 61u);
    EXPECT_EQ(definition.uiGroups()[8].parameters.front(), "fg_texture");
    EXPECT_EQ(definition.uiGroups()[8].parameters.back(), "fg_parallax");

    const std::vector<std::pair<std::string, std::vector<std::string>>> pages = {
        {"Main", {"", "Bokeh Pop", "Optics", "Falloff/Rack Focus"}},
        {"Effects",
         {"Swirly Bokeh", "Cat's Eye", "Iris Blades", "Cinematic Misalignment", "Vignette"}},
        {"Occlusion", {"Bokeh Occlusion"}},
        {"Sampling", {"Sampling", "Custom Kernel"}}};
    ASSERT_EQ(definition.pages().size(), pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const PageDef& page = definition.pages()[p];
        EXPECT_EQ(page.name, pages[p].first);
        ASSERT_EQ(page.items.size(), pages[p].second.size());
        for (std::size_t i = 0; i < page.items.size(); ++i) {
            const bool topLevel = pages[p].second[i].empty();
            EXPECT_EQ(page.items[i].kind, topLevel ? PageItemKind::TopLevel : PageItemKind::Group);
            EXPECT_EQ(page.items[i].groupName, pages[p].second[i]);
        }
    }
}

TEST_F(EmbeddedDefinition, OverlaysAreTheOpticalCentreTargetAndTheFalloffLine) {
    EXPECT_EQ(definition.overlayCoordinates(), OverlayCoordinates::CenteredAspect);
    const std::vector<OverlayDef>& overlays = definition.overlays();
    ASSERT_EQ(overlays.size(), 2u);

    EXPECT_EQ(overlays[0].type, OverlayType::Point);
    EXPECT_EQ(overlays[0].param, "optical_center");
    EXPECT_EQ(overlays[0].style, "target");
    EXPECT_EQ(overlays[0].label, "Optical Center");
    EXPECT_TRUE(overlays[0].color.given);
    EXPECT_EQ(overlays[0].color.r, 0.0f);
    EXPECT_EQ(overlays[0].color.g, 1.0f);
    EXPECT_EQ(overlays[0].color.b, 1.0f);
    EXPECT_TRUE(overlays[0].visibleWhen.empty());

    EXPECT_EQ(overlays[1].type, OverlayType::Line);
    EXPECT_EQ(overlays[1].center, "optical_center");
    EXPECT_EQ(overlays[1].angle, "falloff_angle");
    EXPECT_EQ(overlays[1].style, "crosshair");
    EXPECT_EQ(overlays[1].label, "Falloff");
    EXPECT_EQ(overlays[1].visibleWhen, "falloff_type != 0");
    EXPECT_EQ(overlays[1].color.r, 1.0f);
    EXPECT_EQ(overlays[1].color.g, 0.0f);
    EXPECT_EQ(overlays[1].color.b, 1.0f);
}

} // namespace
