// Creating one OFX parameter descriptor from a definition record.
#include "describe/XMLParameterManager.h"

#include "log/Logger.h"

#include "ofx/support/BooleanParam.h"
#include "ofx/support/ChoiceParam.h"
#include "ofx/support/ColourParam.h"
#include "ofx/support/DoubleParam.h"
#include "ofx/support/ImageEffectDescriptor.h"
#include "ofx/support/IntParam.h"
#include "ofx/support/ParametricParam.h"
#include "ofx/support/PushButtonParam.h"
#include "ofx/support/StringParam.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string hintWithResolution(const ParameterDef& param) {
    if (param.resDependent == "width") {
        return param.hint + " (width-dependent)";
    }
    if (param.resDependent == "height") {
        return param.hint + " (height-dependent)";
    }
    if (param.resDependent == "xy") {
        return param.hint + " (dimension-dependent)";
    }
    return param.hint;
}

int digitsFor(double increment) {
    return std::max(1, static_cast<int>(std::ceil(-std::log10(increment))));
}

// Component by name; vec3 components written as one attribute are named r, g, b, so a missing
// name falls back to the component at that position.
ComponentDef component(const ParameterDef& param, const char* name, std::size_t position) {
    for (const ComponentDef& c : param.components) {
        if (c.name == name) {
            return c;
        }
    }
    if (position < param.components.size()) {
        return param.components[position];
    }
    ComponentDef missing;
    missing.name = name;
    return missing;
}

// Colour defaults: the components, else the text default read as comma-separated numbers;
// a missing alpha is opaque.
std::vector<double> colourDefault(const ParameterDef& param, std::size_t count) {
    std::vector<double> values;
    for (const ComponentDef& c : param.components) {
        values.push_back(c.defaultValue);
    }
    if (values.empty()) {
        const char* text = param.textDefault.c_str();
        while (*text != '\0' && values.size() < count) {
            char* end = nullptr;
            const double v = std::strtod(text, &end);
            if (end == text) {
                break;
            }
            values.push_back(v);
            text = *end == ',' ? end + 1 : end;
        }
    }
    const std::size_t given = values.size();
    values.resize(count, 0.0);
    if (count == 4 && given < 4) {
        values[3] = 1.0;
    }
    return values;
}

struct CurvePoint {
    double x, y;
};

std::vector<CurvePoint> curvePoints(const std::string& shape) {
    if (shape == "ease_in") {
        return {{0, 0}, {0.5, 0.25}, {1, 1}};
    }
    if (shape == "ease_out") {
        return {{0, 0}, {0.5, 0.75}, {1, 1}};
    }
    if (shape == "ease_in_out") {
        return {{0, 0}, {0.25, 0.1}, {0.5, 0.5}, {0.75, 0.9}, {1, 1}};
    }
    return {{0, 0}, {1, 1}};
}

} // namespace

OFX::ParamDescriptor* XMLParameterManager::createParameter(const ParameterDef& param,
                                                           OFX::ImageEffectDescriptor& desc,
                                                           bool paged) {
    const std::string& type = param.type;
    OFX::ParamDescriptor* created = nullptr;
    if (type == "double" || type == "float") {
        OFX::DoubleParamDescriptor* d = desc.defineDoubleParam(param.name);
        d->setRange(param.min, param.max);
        d->setDisplayRange(param.displayMin, param.displayMax);
        d->setDefault(param.defaultValue);
        d->setIncrement(param.increment);
        if (param.increment > 0.0) {
            d->setDigits(digitsFor(param.increment));
        }
        d->setHint(hintWithResolution(param));
        created = d;
    } else if (type == "int") {
        OFX::IntParamDescriptor* d = desc.defineIntParam(param.name);
        d->setRange(static_cast<int>(param.min), static_cast<int>(param.max));
        d->setDisplayRange(static_cast<int>(param.displayMin), static_cast<int>(param.displayMax));
        d->setDefault(static_cast<int>(param.defaultValue));
        d->setHint(hintWithResolution(param));
        created = d;
    } else if (type == "bool") {
        OFX::BooleanParamDescriptor* d = desc.defineBooleanParam(param.name);
        d->setHint(param.hint);
        d->setDefault(param.boolDefault);
        created = d;
    } else if (type == "choice") {
        OFX::ChoiceParamDescriptor* d = desc.defineChoiceParam(param.name);
        d->setHint(param.hint);
        for (const OptionDef& option : param.options) {
            d->appendOption(option.label);
        }
        d->setDefault(static_cast<int>(param.defaultValue));
        created = d;
    } else if (type == "vec2") {
        OFX::Double2DParamDescriptor* d = desc.defineDouble2DParam(param.name);
        d->setDoubleType(OFX::eDoubleTypePlain);
        const ComponentDef x = component(param, "x", 0);
        const ComponentDef y = component(param, "y", 1);
        d->setRange(x.min, y.min, x.max, y.max);
        d->setDisplayRange(x.min, y.min, x.max, y.max);
        d->setDefault(x.defaultValue, y.defaultValue);
        if (!param.components.empty() && param.components[0].increment > 0.0) {
            d->setIncrement(param.components[0].increment);
            d->setDigits(digitsFor(param.components[0].increment));
        }
        d->setHint(hintWithResolution(param));
        created = d;
    } else if (type == "vec3") {
        OFX::Double3DParamDescriptor* d = desc.defineDouble3DParam(param.name);
        const ComponentDef x = component(param, "x", 0);
        const ComponentDef y = component(param, "y", 1);
        const ComponentDef z = component(param, "z", 2);
        d->setRange(x.min, y.min, z.min, x.max, y.max, z.max);
        d->setDisplayRange(x.min, y.min, z.min, x.max, y.max, z.max);
        d->setDefault(x.defaultValue, y.defaultValue, z.defaultValue);
        d->setHint(hintWithResolution(param));
        created = d;
    } else if (type == "color") {
        OFX::RGBParamDescriptor* d = desc.defineRGBParam(param.name);
        d->setHint(param.hint);
        const std::vector<double> c = colourDefault(param, 3);
        d->setDefault(c[0], c[1], c[2]);
        created = d;
    } else if (type == "color_rgba") {
        OFX::RGBAParamDescriptor* d = desc.defineRGBAParam(param.name);
        d->setHint(param.hint);
        const std::vector<double> c = colourDefault(param, 4);
        d->setDefault(c[0], c[1], c[2], c[3]);
        created = d;
    } else if (type == "string" || type == "filepath") {
        OFX::StringParamDescriptor* d = desc.defineStringParam(param.name);
        d->setHint(param.hint);
        d->setDefault(param.textDefault);
        if (type == "filepath") {
            d->setStringType(OFX::eStringTypeFilePath);
            d->setFilePathExists(param.mustExist);
        }
        created = d;
    } else if (type == "pushbutton") {
        OFX::PushButtonParamDescriptor* d = desc.definePushButtonParam(param.name);
        d->setHint(param.hint);
        created = d;
    } else if (type == "curve") {
        OFX::ParametricParamDescriptor* d = desc.defineParametricParam(param.name);
        d->setHint(param.hint);
        d->setRange(0.0, 1.0);
        d->setDimension(1);
        for (const CurvePoint& point : curvePoints(param.curveDefaultShape)) {
            d->addControlPoint(0, 0.0, point.x, point.y, false);
        }
        created = d;
    } else {
        if (paged) {
            HALDEN_LOG_ERROR("Unsupported parameter type '%s' for param '%s'", type.c_str(),
                             param.name.c_str());
        } else {
            std::fprintf(stderr, "Warning: Unsupported parameter type: %s\n", type.c_str());
        }
        return nullptr;
    }
    created->setLabels(param.label, param.label, param.label);
    return created;
}
