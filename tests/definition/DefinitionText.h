#pragma once

#include "definition/XMLEffectDefinition.h"

#include <gtest/gtest.h>

#include <string>

namespace testdef {

// A minimal valid definition around the given sections; the pipeline is added unless the
// caller brings its own (or wants it missing).
inline std::string effect(const std::string& sections, bool withPipeline = true) {
    return "<effect name=\"Test\" category=\"Tests\">" + sections +
           (withPipeline ? "<pipeline><process name=\"p\"/></pipeline>" : "") + "</effect>";
}

// A definition from text that must parse; any log capture is the caller's.
inline XMLEffectDefinition parsed(const std::string& text) {
    XMLEffectDefinition definition;
    EXPECT_TRUE(definition.parseEmbedded(text.c_str())) << text;
    return definition;
}

inline std::string parameters(const std::string& body) {
    return "<parameters>" + body + "</parameters>";
}

// Two floats and a bool to refer to from layout sections.
inline std::string someParameters() {
    return parameters("<parameter name=\"a\" type=\"float\"/>"
                      "<parameter name=\"b\" type=\"float\"/>"
                      "<parameter name=\"c\" type=\"bool\"/>");
}

// A definition that must fail to parse as a whole, and the message it must log.
struct HardError {
    const char* what;
    std::string xml;
    std::string message;
};

class DefinitionHardErrors : public ::testing::TestWithParam<HardError> {};

inline std::string hardErrorName(const ::testing::TestParamInfo<HardError>& param) {
    return param.param.what;
}

} // namespace testdef
