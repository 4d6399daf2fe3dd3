#include "host/params/ParamPropertyCatalog.h"

#include "host/params/ParamTypeInfo.h"
#include "host/properties/PropertySet.h"

#include "ofx/ofxParam.h"
#include "ofx/ofxParametricParam.h"

#include <cfloat>
#include <climits>
#include <vector>

namespace ofxhost {

namespace {

bool isColour(const std::string& type) {
    return type == kOfxParamTypeRGB || type == kOfxParamTypeRGBA;
}

bool isDouble(const std::string& type) {
    return type == kOfxParamTypeDouble || type == kOfxParamTypeDouble2D ||
           type == kOfxParamTypeDouble3D;
}

void addCommon(PropertySet& set, const std::string& type, const std::string& name) {
    set.addString(kOfxPropType, {kOfxTypeParameter}, 1, true);
    set.addString(kOfxPropName, {name}, 1, true);
    set.addString(kOfxPropLabel, {name});
    set.addString(kOfxPropShortLabel, {name});
    set.addString(kOfxPropLongLabel, {name});
    set.addString(kOfxParamPropType, {type}, 1, true);
    set.addInt(kOfxParamPropSecret, {0});
    set.addString(kOfxParamPropHint, {""});
    set.addString(kOfxParamPropScriptName, {name});
    set.addString(kOfxParamPropParent, {""});
    set.addInt(kOfxParamPropEnabled, {1});
    set.addPointer(kOfxParamPropDataPtr, {nullptr});
    set.addString(kOfxPropIcon, {"", ""});
}

void addInteract(PropertySet& set) {
    set.addPointer(kOfxParamPropInteractV1, {nullptr});
    set.addDouble(kOfxParamPropInteractSize, {0.0, 0.0}, 2, true);
    set.addDouble(kOfxParamPropInteractSizeAspect, {1.0});
    set.addDouble(kOfxParamPropInteractMinimumSize, {10.0, 10.0});
    set.addInt(kOfxParamPropInteractPreferedSize, {10, 10});
    set.addInt(kOfxParamPropHasHostOverlayHandle, {0}, 1, true);
    set.addInt(kOfxParamPropUseHostOverlayHandle, {0});
}

void addDefault(PropertySet& set, const ParamTypeInfo& info) {
    switch (info.storage) {
    case ParamTypeInfo::Storage::Int:
        set.addInt(kOfxParamPropDefault, std::vector<int>(info.dimension, 0));
        break;
    case ParamTypeInfo::Storage::Double:
        set.addDouble(kOfxParamPropDefault, std::vector<double>(info.dimension, 0.0));
        break;
    case ParamTypeInfo::Storage::Text:
        set.addString(kOfxParamPropDefault, {""});
        break;
    default:
        break;
    }
}

void addValue(PropertySet& set, const ParamTypeInfo& info) {
    addDefault(set, info);
    set.addInt(kOfxParamPropAnimates, {info.animatesByDefault ? 1 : 0});
    set.addInt(kOfxParamPropIsAnimating, {0}, 1, true);
    set.addInt(kOfxParamPropIsAutoKeying, {0}, 1, true);
    set.addInt(kOfxParamPropPersistant, {1});
    set.addInt(kOfxParamPropEvaluateOnChange, {1});
    set.addInt(kOfxParamPropPluginMayWrite, {0});
    set.addString(kOfxParamPropCacheInvalidation, {kOfxParamInvalidateValueChange});
    set.addInt(kOfxParamPropCanUndo, {1});
}

void addNumeric(PropertySet& set, const std::string& type, const ParamTypeInfo& info) {
    const size_t n = static_cast<size_t>(info.dimension);
    if (info.storage == ParamTypeInfo::Storage::Int) {
        set.addInt(kOfxParamPropMin, std::vector<int>(n, INT_MIN));
        set.addInt(kOfxParamPropMax, std::vector<int>(n, INT_MAX));
        set.addInt(kOfxParamPropDisplayMin, std::vector<int>(n, INT_MIN));
        set.addInt(kOfxParamPropDisplayMax, std::vector<int>(n, INT_MAX));
        return;
    }
    set.addDouble(kOfxParamPropMin, std::vector<double>(n, -DBL_MAX));
    set.addDouble(kOfxParamPropMax, std::vector<double>(n, DBL_MAX));
    // Colour sliders run over 0..1 unless the plug-in says otherwise.
    set.addDouble(kOfxParamPropDisplayMin, std::vector<double>(n, isColour(type) ? 0.0 : -DBL_MAX));
    set.addDouble(kOfxParamPropDisplayMax, std::vector<double>(n, isColour(type) ? 1.0 : DBL_MAX));
    set.addDouble(kOfxParamPropIncrement, {1.0});
    set.addInt(kOfxParamPropDigits, {2});
    if (isDouble(type)) {
        set.addString(kOfxParamPropDoubleType, {kOfxParamDoubleTypePlain});
        set.addString(kOfxParamPropDefaultCoordinateSystem, {kOfxParamCoordinatesCanonical});
    }
    if (type == kOfxParamTypeDouble) {
        set.addInt(kOfxParamPropShowTimeMarker, {0});
    }
}

void addDimensionLabels(PropertySet& set, const std::string& type, int dimension) {
    if (dimension < 2) {
        return;
    }
    std::vector<std::string> labels = isColour(type) ? std::vector<std::string>{"r", "g", "b", "a"}
                                                     : std::vector<std::string>{"x", "y", "z"};
    labels.resize(static_cast<size_t>(dimension));
    set.addString(kOfxParamPropDimensionLabel, labels);
}

void addTypeSpecific(PropertySet& set, const std::string& type) {
    if (type == kOfxParamTypeString) {
        set.addString(kOfxParamPropStringMode, {kOfxParamStringIsSingleLine});
        set.addInt(kOfxParamPropStringFilePathExists, {1});
    } else if (type == kOfxParamTypeChoice) {
        set.addString(kOfxParamPropChoiceOption, {}, 0);
        set.addInt(kOfxParamPropChoiceOrder, {}, 0);
    } else if (type == kOfxParamTypeStrChoice) {
        set.addString(kOfxParamPropChoiceOption, {}, 0);
        set.addString(kOfxParamPropChoiceEnum, {}, 0);
    } else if (type == kOfxParamTypeCustom) {
        set.addPointer(kOfxParamPropCustomInterpCallbackV1, {nullptr});
    } else if (type == kOfxParamTypeGroup) {
        set.addInt(kOfxParamPropGroupOpen, {1});
    } else if (type == kOfxParamTypePage) {
        set.addString(kOfxParamPropPageChild, {}, 0);
    } else if (type == kOfxParamTypeParametric) {
        set.addInt(kOfxParamPropParametricDimension, {1});
        set.addDouble(kOfxParamPropParametricUIColour, {}, 0);
        set.addPointer(kOfxParamPropParametricInteractBackground, {nullptr});
        set.addDouble(kOfxParamPropParametricRange, {0.0, 1.0});
    }
}

} // namespace

void ParamPropertyCatalog::addDescriptorProperties(PropertySet& set, const std::string& type,
                                                   const std::string& name) {
    const auto info = ParamTypeInfo::forType(type);
    if (!info) {
        return;
    }
    addCommon(set, type, name);
    if (type != kOfxParamTypeGroup && type != kOfxParamTypePage) {
        addInteract(set);
    }
    if (info->hasValue() || info->storage == ParamTypeInfo::Storage::Parametric) {
        addValue(set, *info);
    }
    if (info->isNumeric() && type != kOfxParamTypeBoolean && type != kOfxParamTypeChoice) {
        addNumeric(set, type, *info);
    }
    addDimensionLabels(set, type, info->dimension);
    addTypeSpecific(set, type);
}

} // namespace ofxhost
