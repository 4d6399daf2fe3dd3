#include "definition/XMLEffectDefinition.h"

#include "DefinitionText.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using testdef::effect;
using testdef::parameters;

using testdef::DefinitionHardErrors;
using testdef::HardError;

TEST_P(DefinitionHardErrors, FailTheWholeParseWithTheirMessage) {
    testenv::LogCapture log;
    XMLEffectDefinition definition;
    EXPECT_FALSE(definition.parseEmbedded(GetParam().xml.c_str()));
    EXPECT_TRUE(log.contains("[ERROR] Failed to parse embedded XML: " + GetParam().message))
        << log.text();
}

const std::string kParams = testdef::someParameters();

INSTANTIATE_TEST_SUITE_P(
    Model, DefinitionHardErrors,
    ::testing::Values(
        HardError{"EffectName", "<effect category=\"c\"><pipeline/></effect>",
                  "Effect must have a name attribute"},
        HardError{"EffectCategory", "<effect name=\"n\"><pipeline/></effect>",
                  "Effect must have a category attribute"},
        HardError{"SourceName", effect("<inputs><source label=\"x\"/></inputs>"),
                  "Input source must have a name attribute"},
        HardError{"TextureName", effect("<resources><texture file=\"f.exr\"/></resources>"),
                  "Resource texture must have a name attribute"},
        HardError{"TextureFile", effect("<resources><texture name=\"t\"/></resources>"),
                  "Resource texture must have a file attribute"},
        HardError{"ParameterName", effect(parameters("<parameter type=\"float\"/>")),
                  "Parameter must have a name attribute"},
        HardError{"ParameterType", effect(parameters("<parameter name=\"p\"/>")),
                  "Parameter must have a type attribute"},
        HardError{"OptionValue",
                  effect(parameters("<parameter name=\"p\" type=\"choice\">"
                                    "<option label=\"L\"/></parameter>")),
                  "Option must have a value attribute"},
        HardError{"ComponentName",
                  effect(parameters("<parameter name=\"p\" type=\"vec2\">"
                                    "<component default=\"1\"/></parameter>")),
                  "Component must have a name attribute"},
        HardError{"ConditionElement",
                  effect(kParams + "<identity_conditions><condition/></identity_conditions>"),
                  "Condition must have a parameter element"},
        HardError{"ConditionName",
                  effect(kParams + "<identity_conditions><condition><parameter "
                                   "operator=\"equal\"/></condition></identity_conditions>"),
                  "Parameter in condition must have a name attribute"},
        HardError{"ConditionOperator",
                  effect(kParams + "<identity_conditions><condition><parameter "
                                   "name=\"a\"/></condition></identity_conditions>"),
                  "Parameter in condition must have an operator attribute"},
        HardError{"ConditionUnknown",
                  effect(kParams + "<identity_conditions><condition><parameter name=\"zz\" "
                                   "operator=\"equal\"/></condition></identity_conditions>"),
                  "Referenced parameter does not exist: zz"},
        HardError{"NoPipeline", effect(kParams, false),
                  "Effect must have a <pipeline> section with <process> children"},
        HardError{"VectorPiece",
                  effect(parameters("<parameter name=\"v\" type=\"vec2\" default=\"1,,2\"/>")),
                  "stod"}),
    testdef::hardErrorName);

TEST(DefinitionParse, ReportsTextThatIsMissingOrNotADefinition) {
    testenv::LogCapture log;
    XMLEffectDefinition definition;
    EXPECT_FALSE(definition.parseEmbedded(nullptr));
    EXPECT_TRUE(log.contains("[ERROR] Embedded XML content is null"));
    EXPECT_FALSE(definition.parseEmbedded("<effect name=\"a\""));
    EXPECT_NE(log.text().find("[ERROR] Failed to parse embedded XML: "), std::string::npos);
    EXPECT_FALSE(definition.parseEmbedded("<plugin name=\"a\" category=\"b\"/>"));
    EXPECT_TRUE(log.contains("[ERROR] Embedded XML does not contain an effect element"));
}

TEST(DefinitionParse, ASecondParseReplacesTheFirst) {
    testenv::LogCapture log;
    XMLEffectDefinition definition;
    ASSERT_TRUE(definition.parseEmbedded(effect(testdef::someParameters()).c_str()));
    ASSERT_TRUE(definition.parseEmbedded(effect(testdef::someParameters()).c_str()));
    EXPECT_EQ(definition.parameters().size(), 3u);
    EXPECT_EQ(definition.processes().size(), 1u);
}

TEST(DefinitionEffect, UnknownContextFallsBackToFilterAndAttributesTakeDefaults) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(
        "<effect name=\"n\" category=\"c\" supports_timeline=\"yes\" frame_varying=\"0\">"
        "<context>generator</context><pipeline/></effect>");
    EXPECT_EQ(definition.context(), "filter");
    EXPECT_TRUE(log.contains("[INFO] Invalid context 'generator', defaulting to 'filter'"));
    EXPECT_TRUE(definition.supportsTimeline());
    EXPECT_FALSE(definition.supportsMatte());
    EXPECT_FALSE(definition.isFrameVarying());
    EXPECT_EQ(definition.debugLevel(), "none");
    EXPECT_TRUE(definition.processes().empty());

    const XMLEffectDefinition transition = testdef::parsed(
        "<effect name=\"n\" category=\"c\"><context>transition</context><pipeline/></effect>");
    EXPECT_TRUE(transition.isTransition());
}

TEST(DefinitionInputs, OptionalAndNoInputModeInferEachOther) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition =
        testdef::parsed(effect("<inputs>"
                               "<source name=\"white\" noinput=\"white\"/>"
                               "<source name=\"optional\" optional=\"true\"/>"
                               "<source name=\"plain\"/>"
                               "<source name=\"black\" optional=\"false\" noinput=\"black\"/>"
                               "<other name=\"ignored\"/>"
                               "</inputs>"));
    const std::vector<InputDef>& inputs = definition.inputs();
    ASSERT_EQ(inputs.size(), 4u);
    EXPECT_TRUE(inputs[0].optional);
    EXPECT_EQ(inputs[0].noInputMode, "white");
    EXPECT_TRUE(inputs[1].optional);
    EXPECT_EQ(inputs[1].noInputMode, "white");
    EXPECT_FALSE(inputs[2].optional);
    EXPECT_EQ(inputs[2].noInputMode, "error");
    EXPECT_EQ(inputs[2].label, "plain");
    EXPECT_FALSE(inputs[3].optional);
    EXPECT_EQ(inputs[3].noInputMode, "black");
    EXPECT_TRUE(log.contains("[INFO] Input 'white': optional inferred as 1 from noinput='white'"));
    EXPECT_TRUE(log.contains("[INFO] Input 'black': optional explicitly set to 0"));

    EXPECT_EQ(noInputModeCode("error"), 0);
    EXPECT_EQ(noInputModeCode("black"), 1);
    EXPECT_EQ(noInputModeCode("white"), 2);
    EXPECT_EQ(noInputModeCode("transparent"), 3);
    EXPECT_EQ(noInputModeCode("grey"), 2);
}

TEST(DefinitionResources, InvalidSettingsAreReplacedWithAnInfoLine) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(
        effect("<resources>"
               "<texture name=\"zero\" file=\"a.exr\" channels=\"0\" sampler=\"cubic\"/>"
               "<texture name=\"five\" file=\"b.exr\" channels=\"5\" wrap=\"border\"/>"
               "<texture name=\"one\" file=\"c.exr\" channels=\"1\" sampler=\"nearest\" "
               "wrap=\"clamp\"/>"
               "</resources>"));
    const std::vector<ResourceDef>& resources = definition.resources();
    ASSERT_EQ(resources.size(), 3u);
    EXPECT_EQ(resources[0].channels, 4);
    EXPECT_EQ(resources[0].sampler, "linear");
    EXPECT_EQ(resources[1].channels, 4);
    EXPECT_EQ(resources[1].wrap, "mirror");
    EXPECT_EQ(resources[2].channels, 1);
    EXPECT_EQ(resources[2].sampler, "nearest");
    EXPECT_EQ(resources[2].wrap, "clamp");
    EXPECT_TRUE(log.contains("[INFO] Resource 'zero': invalid channels 0, using 4"));
    EXPECT_TRUE(log.contains("[INFO] Resource 'zero': invalid sampler 'cubic', using 'linear'"));
    EXPECT_TRUE(log.contains("[INFO] Resource 'five': invalid wrap 'border', using 'mirror'"));
    EXPECT_TRUE(log.contains("[INFO] Parsed 3 bundled resources"));
}

TEST(DefinitionParameters, NumericRangesDefaultToMinMaxAndIncrementsToATenth) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(
        effect(parameters("<parameter name=\"f\" type=\"float\" default=\"2\" min=\"-1\"/>"
                          "<parameter name=\"i\" type=\"int\" min=\"3\" max=\"9\" "
                          "displayMax=\"5\" inc=\"1\"/>"
                          "<parameter name=\"s\" type=\"string\" default=\"text\"/>"
                          "<parameter name=\"p\" type=\"filepath\" mustexist=\"true\"/>"
                          "<parameter name=\"k\" type=\"curve\" curve_background=\"2\"/>"
                          "<parameter name=\"b\" type=\"bool\" default=\"Yes\"/>"
                          "<parameter name=\"x\" type=\"mystery\" default=\"7\"/>"
                          "<parameter name=\"c\" type=\"choice\"><option value=\"v\"/>"
                          "</parameter>")));
    const ParameterDef& f = definition.getParameter("f");
    EXPECT_EQ(f.label, "f");
    EXPECT_DOUBLE_EQ(f.defaultValue, 2.0);
    EXPECT_DOUBLE_EQ(f.max, 1.0);
    EXPECT_DOUBLE_EQ(f.displayMin, -1.0);
    EXPECT_DOUBLE_EQ(f.displayMax, 1.0);
    EXPECT_DOUBLE_EQ(f.increment, 0.1);
    const ParameterDef& i = definition.getParameter("i");
    EXPECT_DOUBLE_EQ(i.displayMin, 3.0);
    EXPECT_DOUBLE_EQ(i.displayMax, 5.0);
    EXPECT_DOUBLE_EQ(i.increment, 1.0);
    EXPECT_EQ(definition.getParameter("s").textDefault, "text");
    EXPECT_TRUE(definition.getParameter("p").mustExist);
    EXPECT_EQ(definition.getParameter("k").curveDefaultShape, "linear");
    EXPECT_EQ(definition.getParameter("k").curveBackground, 2);
    EXPECT_TRUE(definition.getParameter("b").boolDefault);
    // An unknown type keeps its text and all defaults.
    EXPECT_EQ(definition.getParameter("x").type, "mystery");
    EXPECT_DOUBLE_EQ(definition.getParameter("x").defaultValue, 0.0);
    ASSERT_EQ(definition.getParameter("c").options.size(), 1u);
    EXPECT_EQ(definition.getParameter("c").options[0].label, "v");
}

TEST(DefinitionParameters, CombinedVectorAttributesBecomeComponents) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(
        effect(parameters("<parameter name=\"two\" type=\"vec2\" default=\"1,2\" min=\"0\"/>"
                          "<parameter name=\"three\" type=\"vec2\" default=\"1,2,3\" inc=\"0.5\"/>"
                          "<parameter name=\"one\" type=\"vec3\" default=\"0.25\" max=\"4,5,6\"/>"
                          "<parameter name=\"rgba\" type=\"vec4\" default=\"1,2,3,4\"/>"
                          "<parameter name=\"explicit\" type=\"color\" default=\"9,9,9\">"
                          "<component name=\"r\" default=\"0.5\"/></parameter>"
                          "<parameter name=\"none\" type=\"vec2\"/>")));
    const std::vector<ComponentDef>& two = definition.getParameter("two").components;
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].name, "x");
    EXPECT_DOUBLE_EQ(two[0].defaultValue, 1.0);
    EXPECT_DOUBLE_EQ(two[0].min, 0.0);
    EXPECT_DOUBLE_EQ(two[0].max, 1.0);
    EXPECT_DOUBLE_EQ(two[0].increment, 0.01);
    EXPECT_EQ(two[1].name, "y");
    EXPECT_DOUBLE_EQ(two[1].defaultValue, 2.0);
    EXPECT_DOUBLE_EQ(two[1].min, 0.0);
    EXPECT_DOUBLE_EQ(two[1].max, 1.0);

    const std::vector<ComponentDef>& three = definition.getParameter("three").components;
    ASSERT_EQ(three.size(), 2u);
    EXPECT_DOUBLE_EQ(three[1].increment, 0.5);

    const std::vector<ComponentDef>& one = definition.getParameter("one").components;
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].name, "r");
    EXPECT_DOUBLE_EQ(one[0].max, 4.0);

    const std::vector<ComponentDef>& rgba = definition.getParameter("rgba").components;
    ASSERT_EQ(rgba.size(), 4u);
    EXPECT_EQ(rgba[3].name, "a");
    EXPECT_DOUBLE_EQ(rgba[3].defaultValue, 4.0);

    const std::vector<ComponentDef>& explicitComponents =
        definition.getParameter("explicit").components;
    ASSERT_EQ(explicitComponents.size(), 1u);
    EXPECT_DOUBLE_EQ(explicitComponents[0].defaultValue, 0.5);

    EXPECT_TRUE(definition.getParameter("none").components.empty());
}

TEST(DefinitionParameters, LookupsFindTheLastOfARepeatedNameAndRejectUnknownNames) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition =
        testdef::parsed(effect(parameters("<parameter name=\"p\" type=\"float\" default=\"1\"/>"
                                          "<parameter name=\"p\" type=\"float\" default=\"2\"/>")));
    EXPECT_EQ(definition.parameters().size(), 2u);
    EXPECT_DOUBLE_EQ(definition.getParameter("p").defaultValue, 2.0);
    try {
        definition.getParameter("missing");
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "Parameter not found: missing");
    }
}

TEST(DefinitionIdentity, ConditionsKeepTheirOperatorAndValue) {
    testenv::LogCapture log;
    const XMLEffectDefinition definition = testdef::parsed(
        effect(testdef::someParameters() +
               "<identity_conditions>"
               "<condition><parameter name=\"a\" operator=\"lessEqual\" value=\"0.5\"/></condition>"
               "<condition><parameter name=\"b\" operator=\"whatever\"/></condition>"
               "</identity_conditions>"));
    const std::vector<IdentityCondition>& conditions = definition.identityConditions();
    ASSERT_EQ(conditions.size(), 2u);
    EXPECT_EQ(conditions[0].parameterName, "a");
    EXPECT_EQ(conditions[0].op, "lessEqual");
    EXPECT_DOUBLE_EQ(conditions[0].value, 0.5);
    EXPECT_EQ(conditions[1].op, "whatever");
    EXPECT_DOUBLE_EQ(conditions[1].value, 0.0);
}

} // namespace
