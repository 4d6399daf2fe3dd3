#include "host/cli/OverlayJson.h"

#include "host/json/JsonWriter.h"

#include <charconv>
#include <cstdlib>

namespace ofxhost {

namespace {

const char* const kPrimitives[] = {"lines",     "lineStrip", "lineLoop",
                                   "rectangle", "polygon",   "ellipse"};
const char* const kStipples[] = {"solid", "dot", "dash", "altDash", "dotDash"};
const char* const kStandardColours[] = {"overlayBackground", "overlayActive",    "overlaySelected",
                                        "overlayDeselected", "overlayMarqueeFG", "overlayMarqueeBG",
                                        "overlayText"};

// The name of an enum value; the number itself where the value has none.
template <std::size_t N>
void enumValue(JsonWriter& json, const char* const (&names)[N], int value) {
    if (value >= 0 && static_cast<std::size_t>(value) < N) {
        json.value(names[value]);
    } else {
        json.value(value);
    }
}

// The float's shortest text: 0.7f reads 0.7, not 0.699999988079071.
double shortest(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer) - 1, value);
    *result.ptr = '\0';
    return std::strtod(buffer, nullptr);
}

void point(JsonWriter& json, const OfxPointD& at) {
    json.beginArray(JsonWriter::Layout::Inline).value(at.x).value(at.y).endArray();
}

void call(JsonWriter& json, const DrawCall& drawCall) {
    json.beginObject();
    switch (drawCall.kind) {
    case DrawCall::Kind::GetColour:
        json.key("call").value("getColour");
        json.key("standardColour");
        enumValue(json, kStandardColours, drawCall.standardColour);
        break;
    case DrawCall::Kind::SetColour: {
        const OfxRGBAColourF& c = drawCall.colour;
        json.key("call").value("setColour");
        json.key("colour").beginArray(JsonWriter::Layout::Inline);
        json.value(shortest(c.r)).value(shortest(c.g)).value(shortest(c.b)).value(shortest(c.a));
        json.endArray();
        break;
    }
    case DrawCall::Kind::SetLineWidth:
        json.key("call").value("setLineWidth");
        json.key("width").value(shortest(drawCall.width));
        break;
    case DrawCall::Kind::SetLineStipple:
        json.key("call").value("setLineStipple");
        json.key("pattern");
        enumValue(json, kStipples, drawCall.stipple);
        break;
    case DrawCall::Kind::Draw:
        json.key("call").value("draw");
        json.key("primitive");
        enumValue(json, kPrimitives, drawCall.primitive);
        json.key("points").beginArray(JsonWriter::Layout::Inline);
        for (const OfxPointD& at : drawCall.points) {
            point(json, at);
        }
        json.endArray();
        break;
    case DrawCall::Kind::DrawText:
        json.key("call").value("drawText");
        json.key("text").value(drawCall.text);
        json.key("position");
        point(json, drawCall.points.empty() ? OfxPointD{0.0, 0.0} : drawCall.points.front());
        json.key("alignment").value(drawCall.alignment);
        break;
    }
    json.endObject();
}

} // namespace

std::string OverlayJson::write(const OverlayDrawing& drawing) {
    JsonWriter json;
    json.beginObject();
    json.key("frame").value(drawing.frame);
    json.key("width").value(drawing.width);
    json.key("height").value(drawing.height);
    json.key("calls").beginArray();
    for (const DrawCall& drawCall : drawing.calls) {
        call(json, drawCall);
    }
    json.endArray();
    json.endObject();
    return json.text() + "\n";
}

} // namespace ofxhost
