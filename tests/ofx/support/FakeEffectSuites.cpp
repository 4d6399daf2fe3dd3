#include "FakeHost.h"
#include "FakeSuites.h"

#include "ofx/ofxParam.h"
#include "ofx/ofxParametricParam.h"

#include <cstdarg>

namespace fakehost {

size_t componentCount(const std::string& type) {
    if (type == kOfxParamTypeDouble2D || type == kOfxParamTypeInteger2D) {
        return 2;
    }
    if (type == kOfxParamTypeDouble3D || type == kOfxParamTypeInteger3D ||
        type == kOfxParamTypeRGB) {
        return 3;
    }
    if (type == kOfxParamTypeRGBA) {
        return 4;
    }
    if (type == kOfxParamTypeGroup || type == kOfxParamTypePage ||
        type == kOfxParamTypePushButton || type == kOfxParamTypeParametric) {
        return 0;
    }
    return 1;
}

bool isIntType(const std::string& type) {
    return type == kOfxParamTypeInteger || type == kOfxParamTypeInteger2D ||
           type == kOfxParamTypeInteger3D || type == kOfxParamTypeBoolean ||
           type == kOfxParamTypeChoice;
}

bool isStringType(const std::string& type) {
    return type == kOfxParamTypeString || type == kOfxParamTypeCustom;
}

namespace {

FakeEffect* effect(const void* handle) {
    return static_cast<FakeEffect*>(const_cast<void*>(handle));
}

FakeParam* param(OfxParamHandle handle) {
    return reinterpret_cast<FakeParam*>(handle);
}

FakeClip* clip(OfxImageClipHandle handle) {
    return reinterpret_cast<FakeClip*>(handle);
}

OfxStatus getPropertySet(OfxImageEffectHandle e, OfxPropertySetHandle* props) {
    *props = effect(e)->props.handle();
    return kOfxStatOK;
}
OfxStatus getParamSet(OfxImageEffectHandle e, OfxParamSetHandle* paramSet) {
    *paramSet = reinterpret_cast<OfxParamSetHandle>(e);
    return kOfxStatOK;
}
OfxStatus clipDefine(OfxImageEffectHandle e, const char* name, OfxPropertySetHandle* props) {
    auto defined = std::make_unique<FakeClip>();
    defined->name = name;
    defined->props.values[kOfxPropName] = {std::string(name)};
    *props = defined->props.handle();
    effect(e)->clips.push_back(std::move(defined));
    return kOfxStatOK;
}
OfxStatus clipGetHandle(OfxImageEffectHandle e, const char* name, OfxImageClipHandle* handle,
                        OfxPropertySetHandle* props) {
    FakeClip* found = effect(e)->clip(name);
    if (found == nullptr) {
        return kOfxStatErrUnknown;
    }
    *handle = reinterpret_cast<OfxImageClipHandle>(found);
    if (props != nullptr) {
        *props = found->props.handle();
    }
    return kOfxStatOK;
}
OfxStatus clipGetPropertySet(OfxImageClipHandle c, OfxPropertySetHandle* props) {
    *props = clip(c)->props.handle();
    return kOfxStatOK;
}
OfxStatus clipGetImage(OfxImageClipHandle c, OfxTime, const OfxRectD*,
                       OfxPropertySetHandle* image) {
    if (clip(c)->image == nullptr) {
        return kOfxStatFailed;
    }
    *image = clip(c)->image->props.handle();
    return kOfxStatOK;
}
OfxStatus clipReleaseImage(OfxPropertySetHandle) {
    ++FakeHost::current().releasedImages;
    return kOfxStatOK;
}
OfxStatus clipGetRegionOfDefinition(OfxImageClipHandle, OfxTime, OfxRectD*) {
    return kOfxStatErrUnsupported;
}
int abortRender(OfxImageEffectHandle) {
    return 0;
}
OfxStatus imageMemoryAlloc(OfxImageEffectHandle, size_t, OfxImageMemoryHandle*) {
    return kOfxStatErrUnsupported;
}
OfxStatus imageMemoryHandleCall(OfxImageMemoryHandle) {
    return kOfxStatErrUnsupported;
}
OfxStatus imageMemoryLock(OfxImageMemoryHandle, void**) {
    return kOfxStatErrUnsupported;
}

OfxStatus readValues(FakeParam* p, va_list args) {
    if (p->value.empty()) {
        return kOfxStatErrUnsupported;
    }
    for (const Value& component : p->value) {
        if (isIntType(p->type)) {
            *va_arg(args, int*) = std::get<int>(component);
        } else if (isStringType(p->type)) {
            *va_arg(args, char**) = const_cast<char*>(std::get<std::string>(component).c_str());
        } else {
            *va_arg(args, double*) = std::get<double>(component);
        }
    }
    return kOfxStatOK;
}

OfxStatus writeValues(FakeParam* p, va_list args) {
    if (p->value.empty()) {
        return kOfxStatErrUnsupported;
    }
    for (Value& component : p->value) {
        if (isIntType(p->type)) {
            component = va_arg(args, int);
        } else if (isStringType(p->type)) {
            component = std::string(va_arg(args, const char*));
        } else {
            component = va_arg(args, double);
        }
    }
    return kOfxStatOK;
}

OfxStatus paramDefine(OfxParamSetHandle set, const char* type, const char* name,
                      OfxPropertySetHandle* props) {
    auto defined = std::make_unique<FakeParam>();
    defined->name = name;
    defined->type = type;
    defined->props.values[kOfxParamPropType] = {std::string(type)};
    defined->props.values[kOfxPropName] = {std::string(name)};
    if (props != nullptr) {
        *props = defined->props.handle();
    }
    effect(set)->params.push_back(std::move(defined));
    return kOfxStatOK;
}
OfxStatus paramGetHandle(OfxParamSetHandle set, const char* name, OfxParamHandle* handle,
                         OfxPropertySetHandle* props) {
    FakeParam* found = effect(set)->param(name);
    if (found == nullptr) {
        return kOfxStatErrUnknown;
    }
    *handle = reinterpret_cast<OfxParamHandle>(found);
    if (props != nullptr) {
        *props = found->props.handle();
    }
    return kOfxStatOK;
}
OfxStatus paramSetGetPropertySet(OfxParamSetHandle set, OfxPropertySetHandle* props) {
    *props = effect(set)->props.handle();
    return kOfxStatOK;
}
OfxStatus paramGetPropertySet(OfxParamHandle p, OfxPropertySetHandle* props) {
    *props = param(p)->props.handle();
    return kOfxStatOK;
}
OfxStatus paramGetValue(OfxParamHandle p, ...) {
    va_list args;
    va_start(args, p);
    const OfxStatus status = readValues(param(p), args);
    va_end(args);
    return status;
}
OfxStatus paramGetValueAtTime(OfxParamHandle p, OfxTime time, ...) {
    va_list args;
    va_start(args, time);
    const OfxStatus status = readValues(param(p), args);
    va_end(args);
    return status;
}
OfxStatus paramGetDerivative(OfxParamHandle, OfxTime, ...) {
    return kOfxStatErrUnsupported;
}
OfxStatus paramGetIntegral(OfxParamHandle, OfxTime, OfxTime, ...) {
    return kOfxStatErrUnsupported;
}
OfxStatus paramSetValue(OfxParamHandle p, ...) {
    va_list args;
    va_start(args, p);
    const OfxStatus status = writeValues(param(p), args);
    va_end(args);
    return status;
}
OfxStatus paramSetValueAtTime(OfxParamHandle p, OfxTime time, ...) {
    va_list args;
    va_start(args, time);
    const OfxStatus status = writeValues(param(p), args);
    va_end(args);
    return status;
}
OfxStatus paramGetNumKeys(OfxParamHandle, unsigned int* count) {
    *count = 0;
    return kOfxStatOK;
}
OfxStatus paramGetKeyTime(OfxParamHandle, unsigned int, OfxTime*) {
    return kOfxStatErrBadIndex;
}
OfxStatus paramGetKeyIndex(OfxParamHandle, OfxTime, int, int* index) {
    *index = -1;
    return kOfxStatFailed;
}
OfxStatus paramDeleteKey(OfxParamHandle, OfxTime) {
    return kOfxStatErrBadIndex;
}
OfxStatus paramDeleteAllKeys(OfxParamHandle) {
    return kOfxStatOK;
}
OfxStatus paramCopy(OfxParamHandle, OfxParamHandle, OfxTime, const OfxRangeD*) {
    return kOfxStatErrUnsupported;
}
OfxStatus paramEditBegin(OfxParamSetHandle, const char*) {
    return kOfxStatOK;
}
OfxStatus paramEditEnd(OfxParamSetHandle) {
    return kOfxStatOK;
}

} // namespace

const OfxImageEffectSuiteV1 imageEffectSuite = {getPropertySet,
                                                getParamSet,
                                                clipDefine,
                                                clipGetHandle,
                                                clipGetPropertySet,
                                                clipGetImage,
                                                clipReleaseImage,
                                                clipGetRegionOfDefinition,
                                                abortRender,
                                                imageMemoryAlloc,
                                                imageMemoryHandleCall,
                                                imageMemoryLock,
                                                imageMemoryHandleCall};

// Values are read and written the way the C default promotions pass them.
const OfxParameterSuiteV1 parameterSuite = {
    paramDefine,      paramGetHandle,      paramSetGetPropertySet, paramGetPropertySet,
    paramGetValue,    paramGetValueAtTime, paramGetDerivative,     paramGetIntegral,
    paramSetValue,    paramSetValueAtTime, paramGetNumKeys,        paramGetKeyTime,
    paramGetKeyIndex, paramDeleteKey,      paramDeleteAllKeys,     paramCopy,
    paramEditBegin,   paramEditEnd};

} // namespace fakehost
