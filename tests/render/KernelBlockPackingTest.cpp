#include "render/KernelBlockPacking.h"

#include "LogCapture.h"
#include "definition/DefinitionText.h"
#include "definition/EmbeddedDefinition.h"
#include "kernels/ParameterSlots.h"

#include "DefinitionDefaults.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace render;
using kernels::slot::Vec2Slot;

namespace {

VectorParameterReader definitionDefaults(const XMLEffectDefinition& definition) {
    return [&definition](const std::string& name, const std::string&, std::array<double, 4>& v,
                         std::string&) {
        const ParameterDef& p = definition.getParameter(name);
        for (std::size_t i = 0; i < p.components.size() && i < 4; ++i) {
            v[i] = p.components[i].defaultValue;
        }
        return true;
    };
}

// Each shipped parameter's default lands in the next slot of its kind, in definition order,
// and the kernels' slot table names those same slots.
TEST(AnimatedParameterPacking, ShippedDefaultsLandInTheKernelSlotsTheKernelsRead) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(embeddedEffectDefinition());
    const kernels::AnimatedParameters p = packAnimatedParameters(
        definition, testenv::definitionDefaults(definition), definitionDefaults(definition));
    using namespace kernels::slot;
    EXPECT_EQ(p.counts[kernels::COUNT_FLOAT], FLOAT_SLOT_COUNT);
    EXPECT_EQ(p.counts[kernels::COUNT_INT], INT_SLOT_COUNT);
    EXPECT_EQ(p.counts[kernels::COUNT_BOOL], BOOL_SLOT_COUNT);
    EXPECT_EQ(p.counts[kernels::COUNT_VEC2], VEC2_SLOT_COUNT);
    // Every slot of every type, so that two neighbours swapped in the header are caught.
    std::map<std::string, int> ordinal[4];
    int next[4] = {0, 0, 0, 0};
    for (const ParameterDef& param : definition.parameters()) {
        SCOPED_TRACE(param.name);
        if (param.type == "float" || param.type == "double") {
            EXPECT_FLOAT_EQ(p.floatParams[next[0]], float(param.defaultValue));
            ordinal[0][param.name] = next[0]++;
        } else if (param.type == "int" || param.type == "choice") {
            EXPECT_EQ(p.intParams[next[1]], int(param.defaultValue));
            ordinal[1][param.name] = next[1]++;
        } else if (param.type == "bool") {
            EXPECT_EQ(p.boolParams[next[2]], param.boolDefault ? 1 : 0);
            ordinal[2][param.name] = next[2]++;
        } else if (param.type == "vec2") {
            EXPECT_FLOAT_EQ(p.vec2Params[next[3]].x, float(param.components.at(0).defaultValue));
            EXPECT_FLOAT_EQ(p.vec2Params[next[3]].y, float(param.components.at(1).defaultValue));
            ordinal[3][param.name] = next[3]++;
        }
    }
    EXPECT_EQ(next[0], FLOAT_SLOT_COUNT);
    EXPECT_EQ(next[1], INT_SLOT_COUNT);
    EXPECT_EQ(next[2], BOOL_SLOT_COUNT);
    EXPECT_EQ(next[3], VEC2_SLOT_COUNT);
    const auto expectSlot = [&](int type, const char* name, int index) {
        const auto found = ordinal[type].find(name);
        ASSERT_NE(found, ordinal[type].end()) << name << " is not a parameter of its slot type";
        EXPECT_EQ(found->second, index) << name;
    };
#define FLOAT_SLOT(name) expectSlot(0, #name, name);
#define INT_SLOT(name) expectSlot(1, #name, name);
#define BOOL_SLOT(name) expectSlot(2, #name, name);
#define VEC2_SLOT(name) expectSlot(3, #name, name);
    HALDEN_FLOAT_SLOTS(FLOAT_SLOT)
    HALDEN_INT_SLOTS(INT_SLOT)
    HALDEN_BOOL_SLOTS(BOOL_SLOT)
    HALDEN_VEC2_SLOTS(VEC2_SLOT)
#undef FLOAT_SLOT
#undef INT_SLOT
#undef BOOL_SLOT
#undef VEC2_SLOT
}

TEST(AnimatedParameterPacking, MissingValuesKeepTheirSlotWithTheDefaultAndOtherTypesTakeNone) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(
        testdef::effect(testdef::parameters("<parameter name=\"a\" type=\"float\" default=\"7.5\"/>"
                                            "<parameter name=\"s\" type=\"string\"/>"
                                            "<parameter name=\"press\" type=\"pushbutton\"/>"
                                            "<parameter name=\"b\" type=\"double\"/>"
                                            "<parameter name=\"c\" type=\"float\"/>"
                                            "<parameter name=\"n\" type=\"int\"/>"
                                            "<parameter name=\"on\" type=\"bool\"/>")));
    PresetValues values{{"b", PresetValue::text("2.5")},
                        {"c", PresetValue::boolean(true)},
                        {"s", PresetValue::text("7")},
                        {"n", PresetValue::number(-3.7)},
                        {"on", PresetValue::text("False")}};
    const kernels::AnimatedParameters p = packAnimatedParameters(definition, values, nullptr);
    // "a" has no value: its slot holds the default and "b" and "c" stay where the kernels
    // look for them.
    EXPECT_EQ(p.counts[kernels::COUNT_FLOAT], 3);
    EXPECT_FLOAT_EQ(p.floatParams[0], 7.5f);
    EXPECT_FLOAT_EQ(p.floatParams[1], 2.5f);
    EXPECT_FLOAT_EQ(p.floatParams[2], 1.0f);
    EXPECT_EQ(p.intParams[0], -3);
    EXPECT_EQ(p.boolParams[0], 0);
    EXPECT_TRUE(log.contains(
        "[ERROR] Parameter 'a' has no value for this render - its kernel slot holds the default"));
}

TEST(AnimatedParameterPacking, FullArraysDropTheRestAndVectorFailuresAreLogged) {
    testenv::LogCapture log;
    std::string params;
    PresetValues values;
    for (int i = 0; i < 70; ++i) {
        const std::string name = "f" + std::to_string(i);
        params += "<parameter name=\"" + name + "\" type=\"float\"/>";
        values[name] = PresetValue::number(i);
    }
    params += "<parameter name=\"pos\" type=\"vec2\" default=\"1,2\"/>"
              "<parameter name=\"tint\" type=\"color\" default=\"1,1,1\"/>";
    const XMLEffectDefinition definition =
        testdef::parsed(testdef::effect(testdef::parameters(params)));
    const kernels::AnimatedParameters p =
        packAnimatedParameters(definition, values,
                               [](const std::string& name, const std::string&,
                                  std::array<double, 4>& v, std::string& error) {
                                   if (name == "tint") {
                                       error = "host refused";
                                       return false;
                                   }
                                   v = {0.25, 0.75, 0, 0};
                                   return true;
                               });
    EXPECT_EQ(p.counts[kernels::COUNT_FLOAT], 64);
    EXPECT_FLOAT_EQ(p.floatParams[63], 63.0f);
    EXPECT_EQ(p.counts[kernels::COUNT_VEC2], 1);
    EXPECT_FLOAT_EQ(p.vec2Params[0].y, 0.75f);
    EXPECT_EQ(p.counts[kernels::COUNT_COLOR], 0);
    EXPECT_TRUE(log.contains("[ERROR] Failed to fetch color param tint: host refused"));
}

TEST(SourcePacking, InputsKeepTheirPlaceAndStandInsAreMarkedUnconnected) {
    testenv::LogCapture log(Logger::DEBUG_LEVEL);
    const XMLEffectDefinition definition = testdef::parsed(embeddedEffectDefinition());
    const std::map<std::string, std::uint64_t> textures{{"Source", 11}};
    const auto standIns = [](int mode) { return std::uint64_t(100 + mode); };
    const kernels::SourceConnections s =
        packSourceConnections(definition, false, textures, {}, standIns);
    ASSERT_EQ(s.sourceCount, 2);
    EXPECT_EQ(s.sources[0].textureObject, 11u);
    EXPECT_EQ(s.sources[0].isConnected, 1);
    EXPECT_STREQ(s.sources[0].name, "Source");
    EXPECT_EQ(s.sources[1].textureObject, 102u); // white
    EXPECT_EQ(s.sources[1].isConnected, 0);
    EXPECT_EQ(s.sources[1].noInputMode, kernels::NOINPUT_WHITE);
    EXPECT_TRUE(
        log.contains("[DEBUG] Using default texture for 'KernelMap' (mode=2, isConnected=false)"));

    // A missing required input keeps its entry with texture 0.
    const kernels::SourceConnections missing =
        packSourceConnections(definition, false, {}, {{"Source", false}}, standIns);
    EXPECT_EQ(missing.sourceCount, 2);
    EXPECT_EQ(missing.sources[0].textureObject, 0u);
    EXPECT_TRUE(log.contains("[ERROR] Required input 'Source' not connected"));
}

TEST(SourcePacking, ProcessOutputsStopAtTheFirstGapAndAccumulationBuffersFollow) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(
        testdef::effect("<inputs><source name=\"In\" border_mode=\"mirror\"/></inputs>"
                        "<accumulation_buffers><buffer name=\"trail\"/></accumulation_buffers>"));
    const std::map<std::string, std::uint64_t> textures{{"In", 1},
                                                        {"effectOutput", 2},
                                                        {"pipelineOutput_0", 3},
                                                        {"pipelineOutput_2", 5},
                                                        {"accum_trail", 6}};
    const kernels::SourceConnections s =
        packSourceConnections(definition, false, textures, {{"In", false}}, nullptr);
    ASSERT_EQ(s.sourceCount, 4);
    EXPECT_EQ(s.sources[0].isConnected, 0); // status map says unconnected
    EXPECT_EQ(s.sources[0].borderMode, kernels::BORDER_MIRROR);
    EXPECT_EQ(s.sources[1].textureObject, 2u);
    EXPECT_EQ(s.sources[2].textureObject, 3u);
    EXPECT_EQ(s.sources[3].textureObject, 6u);
    EXPECT_STREQ(s.sources[3].name, "accum_trail");
}

TEST(SourcePacking, TransitionsBindOnlyFromAndTo) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(embeddedEffectDefinition());
    const kernels::SourceConnections s =
        packSourceConnections(definition, true, {{"SourceTo", 9}, {"Source", 1}}, {}, nullptr);
    ASSERT_EQ(s.sourceCount, 1);
    EXPECT_EQ(s.sources[0].textureObject, 9u);
    EXPECT_TRUE(log.contains("[ERROR] SourceFrom texture not found for transition"));
}

TEST(SystemPacking, RenderArgumentsAndIndicesFillTheRecord) {
    testenv::LogCapture log;
    RenderArguments args;
    args.present = true;
    args.time = 10.5;
    args.renderScaleX = 0.5;
    args.interactive = true;
    FrameState frame;
    frame.frameRate = 24.0;
    frame.pixelAspect = 2.0;
    frame.globalBlend = 0.25f;
    ExecutionIndices indices;
    indices.currentPipeline = 1;
    indices.totalPipelines = 3;
    const kernels::SystemParameters s = packSystemParameters(100, 50, args, frame, indices);
    EXPECT_FLOAT_EQ(s.time, 10.5f);
    EXPECT_EQ(s.frame24, 252);
    EXPECT_FLOAT_EQ(s.aspectRatio, 4.0f);
    EXPECT_FLOAT_EQ(s.renderScaleX, 0.5f);
    EXPECT_EQ(s.interactiveRender, 1);
    EXPECT_EQ(s.currentPipeline, 1);
    EXPECT_EQ(s.totalPipelines, 3);
    EXPECT_FLOAT_EQ(s.globalBlend, 0.25f);
    EXPECT_FLOAT_EQ(s.lastRenderedTime, -1.0f);

    const kernels::SystemParameters idle = packSystemParameters(8, 8, {}, frame, indices);
    EXPECT_EQ(idle.time, 0.0f);
    EXPECT_EQ(idle.frame24, 0);
    EXPECT_EQ(idle.renderScaleX, 1.0f);
    EXPECT_EQ(idle.interactiveRender, 0);
}

} // namespace
