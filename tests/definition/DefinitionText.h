#pragma once

#include <string>

namespace testdef {

// A minimal valid definition around the given sections; the pipeline is added unless the
// caller brings its own (or wants it missing).
inline std::string effect(const std::string& sections, bool withPipeline = true) {
    return "<effect name=\"Test\" category=\"Tests\">" + sections +
           (withPipeline ? "<pipeline><process name=\"p\"/></pipeline>" : "") + "</effect>";
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

} // namespace testdef
