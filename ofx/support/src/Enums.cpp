#include "ofx/support/Enums.h"

#include "ofx/ofxImageEffect.h"
#include "ofx/ofxMessage.h"
#include "ofx/ofxParam.h"
#include "ofx/ofxParametricParam.h"

#include <cstddef>

namespace OFX {

namespace {

template <class Enum, size_t N>
Enum lookup(const char* const (&table)[N], const std::string& text, Enum fallback) {
    for (size_t i = 0; i < N; ++i) {
        if (table[i] != nullptr && text == table[i]) {
            return static_cast<Enum>(i);
        }
    }
    return fallback;
}

template <size_t N>
const char* name(const char* const (&table)[N], int value, const char* fallback) {
    if (value < 0 || static_cast<size_t>(value) >= N || table[value] == nullptr) {
        return fallback;
    }
    return table[value];
}

// Tables are indexed by the enumerators, so their order follows Enums.h.
const char* const kContexts[] = {nullptr,
                                 kOfxImageEffectContextGenerator,
                                 kOfxImageEffectContextFilter,
                                 kOfxImageEffectContextTransition,
                                 kOfxImageEffectContextPaint,
                                 kOfxImageEffectContextGeneral,
                                 kOfxImageEffectContextRetimer};
const char* const kBitDepths[] = {kOfxBitDepthNone, kOfxBitDepthByte, kOfxBitDepthShort,
                                  kOfxBitDepthHalf, kOfxBitDepthFloat};
const char* const kComponents[] = {kOfxImageComponentNone, kOfxImageComponentRGBA,
                                   kOfxImageComponentRGB, kOfxImageComponentAlpha};
const char* const kPreMultiplications[] = {kOfxImageOpaque, kOfxImagePreMultiplied,
                                           kOfxImageUnPreMultiplied};
const char* const kFields[] = {kOfxImageFieldNone,  kOfxImageFieldBoth,   kOfxImageFieldLower,
                               kOfxImageFieldUpper, kOfxImageFieldSingle, kOfxImageFieldDoubled};
const char* const kRenderSafeties[] = {
    kOfxImageEffectRenderUnsafe, kOfxImageEffectRenderInstanceSafe, kOfxImageEffectRenderFullySafe};
const char* const kMessageTypes[] = {kOfxMessageFatal,   kOfxMessageError, kOfxMessageWarning,
                                     kOfxMessageMessage, kOfxMessageLog,   kOfxMessageQuestion};
const char* const kParamTypes[] = {nullptr,
                                   kOfxParamTypeString,
                                   kOfxParamTypeInteger,
                                   kOfxParamTypeDouble,
                                   kOfxParamTypeBoolean,
                                   kOfxParamTypeChoice,
                                   kOfxParamTypeRGBA,
                                   kOfxParamTypeRGB,
                                   kOfxParamTypeDouble2D,
                                   kOfxParamTypeInteger2D,
                                   kOfxParamTypeDouble3D,
                                   kOfxParamTypeInteger3D,
                                   kOfxParamTypeCustom,
                                   kOfxParamTypeGroup,
                                   kOfxParamTypePage,
                                   kOfxParamTypePushButton,
                                   kOfxParamTypeParametric};
const char* const kDoubleTypes[] = {kOfxParamDoubleTypePlain,        kOfxParamDoubleTypeAngle,
                                    kOfxParamDoubleTypeScale,        kOfxParamDoubleTypeTime,
                                    kOfxParamDoubleTypeAbsoluteTime, kOfxParamDoubleTypeX,
                                    kOfxParamDoubleTypeXAbsolute,    kOfxParamDoubleTypeY,
                                    kOfxParamDoubleTypeYAbsolute,    kOfxParamDoubleTypeXY,
                                    kOfxParamDoubleTypeXYAbsolute};
const char* const kCoordinateSystems[] = {kOfxParamCoordinatesCanonical,
                                          kOfxParamCoordinatesNormalised};
const char* const kStringTypes[] = {kOfxParamStringIsSingleLine, kOfxParamStringIsMultiLine,
                                    kOfxParamStringIsFilePath,   kOfxParamStringIsDirectoryPath,
                                    kOfxParamStringIsLabel,      kOfxParamStringIsRichTextFormat};
const char* const kCacheInvalidations[] = {
    kOfxParamInvalidateValueChange, kOfxParamInvalidateValueChangeToEnd, kOfxParamInvalidateAll};

} // namespace

const char* mapContextToString(ContextEnum context) {
    return name(kContexts, context, "");
}
const char* mapBitDepthToString(BitDepthEnum depth) {
    return name(kBitDepths, depth, kOfxBitDepthNone);
}
const char* mapPixelComponentToString(PixelComponentEnum components) {
    return name(kComponents, components, kOfxImageComponentNone);
}
const char* mapPreMultiplicationToString(PreMultiplicationEnum premultiplication) {
    return name(kPreMultiplications, premultiplication, kOfxImageOpaque);
}
const char* mapFieldToString(FieldEnum field) {
    return name(kFields, field, kOfxImageFieldNone);
}
const char* mapRenderSafetyToString(RenderSafetyEnum safety) {
    return name(kRenderSafeties, safety, kOfxImageEffectRenderInstanceSafe);
}
const char* mapMessageTypeToString(MessageTypeEnum type) {
    return name(kMessageTypes, type, kOfxMessageMessage);
}
const char* mapParamTypeToString(ParamTypeEnum type) {
    return name(kParamTypes, type, "");
}
const char* mapDoubleTypeToString(DoubleTypeEnum type) {
    return name(kDoubleTypes, type, kOfxParamDoubleTypePlain);
}
const char* mapCoordinateSystemToString(CoordinateSystemEnum system) {
    return name(kCoordinateSystems, system, kOfxParamCoordinatesCanonical);
}
const char* mapStringTypeToString(StringTypeEnum type) {
    return name(kStringTypes, type, kOfxParamStringIsSingleLine);
}
const char* mapCacheInvalidationToString(CacheInvalidationEnum invalidation) {
    return name(kCacheInvalidations, invalidation, kOfxParamInvalidateValueChange);
}

ContextEnum mapStringToContext(const std::string& text) {
    return lookup(kContexts, text, eContextNone);
}
BitDepthEnum mapStringToBitDepth(const std::string& text) {
    return lookup(kBitDepths, text, eBitDepthCustom);
}
PixelComponentEnum mapStringToPixelComponent(const std::string& text) {
    return lookup(kComponents, text, ePixelComponentCustom);
}
PreMultiplicationEnum mapStringToPreMultiplication(const std::string& text) {
    return lookup(kPreMultiplications, text, eImageOpaque);
}
FieldEnum mapStringToField(const std::string& text) {
    return lookup(kFields, text, eFieldNone);
}
ParamTypeEnum mapStringToParamType(const std::string& text) {
    return lookup(kParamTypes, text, eParamTypeNone);
}

int bitDepthBytes(BitDepthEnum depth) {
    switch (depth) {
    case eBitDepthUByte:
        return 1;
    case eBitDepthUShort:
    case eBitDepthHalf:
        return 2;
    case eBitDepthFloat:
        return 4;
    default:
        return 0;
    }
}

int pixelComponentCount(PixelComponentEnum components) {
    switch (components) {
    case ePixelComponentRGBA:
        return 4;
    case ePixelComponentRGB:
        return 3;
    case ePixelComponentAlpha:
        return 1;
    default:
        return 0;
    }
}

} // namespace OFX
