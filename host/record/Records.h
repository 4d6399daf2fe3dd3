#pragma once

#include "host/params/ParamValue.h"

#include "ofx/ofxCore.h"
#include "ofx/ofxPixels.h"

#include <optional>
#include <string>
#include <vector>

namespace ofxhost {

// Plain data the host records as the plug-in talks to it, for tests and reports to read.

struct MessageRecord {
    enum class Kind { Message, SetPersistent, ClearPersistent };
    Kind kind = Kind::Message;
    // The effect it was posted on (descriptor or instance handle), or nullptr.
    const void* effect = nullptr;
    std::string type;
    std::string id;
    std::string text;
};

struct DrawCall {
    enum class Kind { GetColour, SetColour, SetLineWidth, SetLineStipple, Draw, DrawText };
    Kind kind = Kind::Draw;
    // The drawing state at the call (after it, for the setters).
    OfxRGBAColourF colour{1.0f, 1.0f, 1.0f, 1.0f};
    float width = 0.0f;
    int stipple = 0;
    int primitive = 0;
    std::vector<OfxPointD> points;
    std::string text;
    int alignment = 0;
    // getColour's argument.
    int standardColour = 0;
};

struct ValueChange {
    std::string param;
    // Set at a time (a key) or as the value "now".
    std::optional<OfxTime> time;
    ParamValue value;
    bool byPlugin = false;
};

struct InstanceChangeRecord {
    std::string type;
    std::string name;
    std::string reason;
    OfxTime time = 0.0;
    double renderScale[2] = {1.0, 1.0};
    OfxStatus status = kOfxStatOK;
};

struct SuiteRequest {
    std::string name;
    int version = 0;
    bool provided = false;
};

// A breach of the OFX rules a strict host enforces: the action it happened in ("render",
// "instanceChanged", "penDown"; "no action" outside any) and what the plug-in did.
struct Violation {
    std::string action;
    std::string description;
};

struct ProgressEvent {
    enum class Kind { Start, Update, End };
    Kind kind = Kind::Start;
    std::string label;
    double progress = 0.0;
};

} // namespace ofxhost
