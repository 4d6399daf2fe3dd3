#include "host/json/DescriptionJson.h"

#include "host/json/JsonWriter.h"
#include "host/plugin/Plugin.h"

#include "ofx/ofxGPURender.h"
#include "ofx/ofxImageEffect.h"
#include "ofx/ofxParam.h"

namespace ofxhost {

namespace {

void writeStrings(JsonWriter& json, const PropertySet& props, const char* name) {
    if (!props.has(name)) {
        json.null();
        return;
    }
    json.beginArray(JsonWriter::Layout::Inline);
    for (const auto& text : props.getStrings(name)) {
        json.value(text);
    }
    json.endArray();
}

void writeString(JsonWriter& json, const PropertySet& props, const char* name) {
    if (props.has(name) && props.dimension(name) > 0) {
        json.value(props.getString(name));
    } else {
        json.null();
    }
}

void writeFlag(JsonWriter& json, const PropertySet& props, const char* name) {
    if (props.has(name) && props.dimension(name) > 0) {
        json.value(props.getInt(name) != 0);
    } else {
        json.null();
    }
}

// One number for a one-dimensional property, an array for more; the type as stored.
void writeNumbers(JsonWriter& json, const PropertySet& props, const char* name) {
    if (!props.has(name)) {
        json.null();
        return;
    }
    const Property property = props.property(name);
    std::vector<double> numbers;
    for (const auto& value : property.values()) {
        if (const int* integer = std::get_if<int>(&value)) {
            numbers.push_back(*integer);
        } else if (const double* real = std::get_if<double>(&value)) {
            numbers.push_back(*real);
        }
    }
    if (property.dimension() == 1 && numbers.size() == 1) {
        json.value(numbers.front());
        return;
    }
    json.beginArray(JsonWriter::Layout::Inline);
    for (double number : numbers) {
        json.value(number);
    }
    json.endArray();
}

void writeDefault(JsonWriter& json, const Param& param) {
    const PropertySet& props = param.properties();
    if (!props.has(kOfxParamPropDefault)) {
        json.null();
    } else if (param.type() == kOfxParamTypeBoolean) {
        writeFlag(json, props, kOfxParamPropDefault);
    } else if (param.info().storage == ParamTypeInfo::Storage::Text) {
        writeString(json, props, kOfxParamPropDefault);
    } else {
        writeNumbers(json, props, kOfxParamPropDefault);
    }
}

bool hasOverlay(const PropertySet& props) {
    for (const char* name :
         {kOfxImageEffectPluginPropOverlayInteractV1, kOfxImageEffectPluginPropOverlayInteractV2}) {
        if (props.has(name) && props.getPointer(name) != nullptr) {
            return true;
        }
    }
    return false;
}

void writePlugin(JsonWriter& json, Plugin& plugin, const PropertySet& props) {
    json.key("plugin").beginObject();
    json.key("identifier").value(plugin.identifier());
    json.key("version").value(std::to_string(plugin.versionMajor()) + "." +
                              std::to_string(plugin.versionMinor()));
    json.key("label");
    writeString(json, props, kOfxPropLabel);
    json.key("grouping");
    writeString(json, props, kOfxImageEffectPluginPropGrouping);
    json.key("description");
    writeString(json, props, kOfxPropPluginDescription);
    json.key("contexts");
    writeStrings(json, props, kOfxImageEffectPropSupportedContexts);
    json.key("pixelDepths");
    writeStrings(json, props, kOfxImageEffectPropSupportedPixelDepths);
    json.key("supportsTiles");
    writeFlag(json, props, kOfxImageEffectPropSupportsTiles);
    json.key("cudaRender");
    writeString(json, props, kOfxImageEffectPropCudaRenderSupported);
    json.key("cudaStream");
    writeString(json, props, kOfxImageEffectPropCudaStreamSupported);
    json.key("renderThreadSafety");
    writeString(json, props, kOfxImageEffectPluginRenderThreadSafety);
    json.key("overlayInteract").value(hasOverlay(props));
    json.endObject();
}

void writeClips(JsonWriter& json, const ImageEffect& effect) {
    json.key("clips").beginArray();
    for (const auto& clip : effect.clips()) {
        const PropertySet& props = clip->properties();
        json.beginObject();
        json.key("name").value(clip->name());
        json.key("optional");
        writeFlag(json, props, kOfxImageClipPropOptional);
        json.key("isMask");
        writeFlag(json, props, kOfxImageClipPropIsMask);
        json.key("components");
        writeStrings(json, props, kOfxImageEffectPropSupportedComponents);
        json.key("supportsTiles");
        writeFlag(json, props, kOfxImageEffectPropSupportsTiles);
        json.endObject();
    }
    json.endArray();
}

void writeParams(JsonWriter& json, const ImageEffect& effect) {
    json.key("params").beginArray();
    for (const auto& param : effect.params().params()) {
        const PropertySet& props = param->properties();
        json.beginObject();
        json.key("name").value(param->name());
        json.key("type").value(param->type());
        json.key("label");
        writeString(json, props, kOfxPropLabel);
        json.key("hint");
        writeString(json, props, kOfxParamPropHint);
        json.key("default");
        writeDefault(json, *param);
        const std::pair<const char*, const char*> numeric[] = {
            {"min", kOfxParamPropMin},
            {"max", kOfxParamPropMax},
            {"displayMin", kOfxParamPropDisplayMin},
            {"displayMax", kOfxParamPropDisplayMax},
            {"increment", kOfxParamPropIncrement},
            {"digits", kOfxParamPropDigits}};
        for (const auto& [key, property] : numeric) {
            json.key(key);
            writeNumbers(json, props, property);
        }
        json.key("parent");
        writeString(json, props, kOfxParamPropParent);
        json.key("options");
        writeStrings(json, props, kOfxParamPropChoiceOption);
        json.key("secret");
        writeFlag(json, props, kOfxParamPropSecret);
        json.key("enabled");
        writeFlag(json, props, kOfxParamPropEnabled);
        json.endObject();
    }
    json.endArray();
}

void writePages(JsonWriter& json, const ImageEffect& effect) {
    json.key("pages").beginArray();
    for (const auto& param : effect.params().params()) {
        if (param->type() != kOfxParamTypePage) {
            continue;
        }
        json.beginObject();
        json.key("name").value(param->name());
        json.key("children");
        writeStrings(json, param->properties(), kOfxParamPropPageChild);
        json.endObject();
    }
    json.endArray();
}

} // namespace

std::string DescriptionJson::write(Plugin& plugin, const std::string& context) {
    ImageEffect& effect = plugin.contextDescriptor(context);
    JsonWriter json;
    json.beginObject();
    writePlugin(json, plugin, effect.properties());
    writeClips(json, effect);
    writeParams(json, effect);
    writePages(json, effect);
    json.endObject();
    return json.text() + "\n";
}

} // namespace ofxhost
