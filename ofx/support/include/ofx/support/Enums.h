#pragma once

#include <string>

namespace OFX {

// Enumerations of the OFX string values the plug-in code works with. The numbers are ours (a
// context logs as its number); the strings that cross to the host are in the mapping
// functions below.

enum ContextEnum {
    eContextNone,
    eContextGenerator,
    eContextFilter,
    eContextTransition,
    eContextPaint,
    eContextGeneral,
    eContextRetimer,
};

enum BitDepthEnum {
    eBitDepthNone,
    eBitDepthUByte,
    eBitDepthUShort,
    eBitDepthHalf,
    eBitDepthFloat,
    eBitDepthCustom, // a value this layer does not know
};

enum PixelComponentEnum {
    ePixelComponentNone,
    ePixelComponentRGBA,
    ePixelComponentRGB,
    ePixelComponentAlpha,
    ePixelComponentCustom,
};

enum PreMultiplicationEnum {
    eImageOpaque,
    eImagePreMultiplied,
    eImageUnPreMultiplied,
};

enum FieldEnum {
    eFieldNone,
    eFieldBoth,
    eFieldLower,
    eFieldUpper,
    eFieldSingle,
    eFieldDoubled,
};

enum RenderSafetyEnum {
    eRenderUnsafe,
    eRenderInstanceSafe,
    eRenderFullySafe,
};

enum MessageTypeEnum {
    eMessageFatal,
    eMessageError,
    eMessageWarning,
    eMessageMessage,
    eMessageLog,
    eMessageQuestion,
};

enum MessageReplyEnum {
    eMessageReplyOK,
    eMessageReplyYes,
    eMessageReplyNo,
    eMessageReplyFailed,
};

enum ParamTypeEnum {
    eParamTypeNone,
    eParamTypeString,
    eParamTypeInteger,
    eParamTypeDouble,
    eParamTypeBoolean,
    eParamTypeChoice,
    eParamTypeRGBA,
    eParamTypeRGB,
    eParamTypeDouble2D,
    eParamTypeInteger2D,
    eParamTypeDouble3D,
    eParamTypeInteger3D,
    eParamTypeCustom,
    eParamTypeGroup,
    eParamTypePage,
    eParamTypePushButton,
    eParamTypeParametric,
};

enum DoubleTypeEnum {
    eDoubleTypePlain,
    eDoubleTypeAngle,
    eDoubleTypeScale,
    eDoubleTypeTime,
    eDoubleTypeAbsoluteTime,
    eDoubleTypeX,
    eDoubleTypeXAbsolute,
    eDoubleTypeY,
    eDoubleTypeYAbsolute,
    eDoubleTypeXY,
    eDoubleTypeXYAbsolute,
};

enum CoordinateSystemEnum {
    eCoordinatesCanonical,
    eCoordinatesNormalised,
};

enum StringTypeEnum {
    eStringTypeSingleLine,
    eStringTypeMultiLine,
    eStringTypeFilePath,
    eStringTypeDirectoryPath,
    eStringTypeLabel,
    eStringTypeRichTextFormat,
};

enum CacheInvalidationEnum {
    eCacheInvalidateValueChange,
    eCacheInvalidateValueChangeToEnd,
    eCacheInvalidateValueAll,
};

enum LayoutHintEnum {
    eLayoutHintNormal = 0,
    eLayoutHintDivider = 1,
    eLayoutHintNoNewLine = 2,
};

// Enum -> OFX string. Every enumerator has a string except the None/Custom fallbacks, which map
// to the OFX "none" value where one exists.
const char* mapContextToString(ContextEnum context);
const char* mapBitDepthToString(BitDepthEnum depth);
const char* mapPixelComponentToString(PixelComponentEnum components);
const char* mapPreMultiplicationToString(PreMultiplicationEnum premultiplication);
const char* mapFieldToString(FieldEnum field);
const char* mapRenderSafetyToString(RenderSafetyEnum safety);
const char* mapMessageTypeToString(MessageTypeEnum type);
const char* mapParamTypeToString(ParamTypeEnum type);
const char* mapDoubleTypeToString(DoubleTypeEnum type);
const char* mapCoordinateSystemToString(CoordinateSystemEnum system);
const char* mapStringTypeToString(StringTypeEnum type);
const char* mapCacheInvalidationToString(CacheInvalidationEnum invalidation);

// OFX string -> enum. Unknown strings give the None value (Custom for depths and components,
// None for contexts and param types) rather than throwing: hosts add values over time.
ContextEnum mapStringToContext(const std::string& text);
BitDepthEnum mapStringToBitDepth(const std::string& text);
PixelComponentEnum mapStringToPixelComponent(const std::string& text);
PreMultiplicationEnum mapStringToPreMultiplication(const std::string& text);
FieldEnum mapStringToField(const std::string& text);
ParamTypeEnum mapStringToParamType(const std::string& text);

// Bytes of one sample of a depth (0 for None/Custom) and samples per pixel of components.
int bitDepthBytes(BitDepthEnum depth);
int pixelComponentCount(PixelComponentEnum components);

} // namespace OFX
