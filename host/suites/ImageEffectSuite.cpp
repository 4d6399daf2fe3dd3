#include "host/suites/ImageEffectSuite.h"

#include "host/core/StatusGuard.h"
#include "host/effect/EffectInstance.h"
#include "host/effect/ImageMemory.h"

namespace ofxhost {

namespace {

template <class Body>
OfxStatus withEffect(OfxImageEffectHandle handle, Body&& body) {
    return guardStatus([&]() -> OfxStatus {
        ImageEffect* effect = ImageEffect::fromHandle(handle);
        return effect == nullptr ? kOfxStatErrBadHandle : body(*effect);
    });
}

template <class Body>
OfxStatus withClip(OfxImageClipHandle handle, Body&& body) {
    return guardStatus([&]() -> OfxStatus {
        Clip* clip = Clip::fromHandle(handle);
        return clip == nullptr ? kOfxStatErrBadHandle : body(*clip);
    });
}

OfxStatus getPropertySet(OfxImageEffectHandle handle, OfxPropertySetHandle* props) {
    return withEffect(handle, [&](ImageEffect& effect) {
        if (props == nullptr) {
            return kOfxStatErrValue;
        }
        *props = effect.properties().handle();
        return kOfxStatOK;
    });
}

OfxStatus getParamSet(OfxImageEffectHandle handle, OfxParamSetHandle* params) {
    return withEffect(handle, [&](ImageEffect& effect) {
        if (params == nullptr) {
            return kOfxStatErrValue;
        }
        *params = effect.params().handle();
        return kOfxStatOK;
    });
}

OfxStatus clipDefine(OfxImageEffectHandle handle, const char* name, OfxPropertySetHandle* props) {
    return withEffect(handle, [&](ImageEffect& effect) {
        if (name == nullptr) {
            return kOfxStatErrValue;
        }
        Clip& clip = effect.defineClip(name);
        if (props != nullptr) {
            *props = clip.properties().handle();
        }
        return kOfxStatOK;
    });
}

OfxStatus clipGetHandle(OfxImageEffectHandle handle, const char* name, OfxImageClipHandle* clip,
                        OfxPropertySetHandle* props) {
    return withEffect(handle, [&](ImageEffect& effect) {
        if (name == nullptr || clip == nullptr) {
            return kOfxStatErrValue;
        }
        Clip* found = effect.findClip(name);
        if (found == nullptr) {
            return kOfxStatErrUnknown;
        }
        *clip = found->handle();
        if (props != nullptr) {
            *props = found->properties().handle();
        }
        return kOfxStatOK;
    });
}

OfxStatus clipGetPropertySet(OfxImageClipHandle handle, OfxPropertySetHandle* props) {
    return withClip(handle, [&](Clip& clip) {
        if (props == nullptr) {
            return kOfxStatErrValue;
        }
        *props = clip.properties().handle();
        return kOfxStatOK;
    });
}

OfxStatus clipGetImage(OfxImageClipHandle handle, OfxTime time, const OfxRectD*,
                       OfxPropertySetHandle* image) {
    return withClip(handle, [&](Clip& clip) {
        EffectInstance* instance = clip.owner().asInstance();
        if (instance == nullptr) {
            return kOfxStatErrBadHandle;
        }
        if (image == nullptr) {
            return kOfxStatErrValue;
        }
        // The whole attached image, whatever region was asked for: it contains the region.
        *image = clip.fetchImage(instance->imageContext(clip, time)).handle();
        return kOfxStatOK;
    });
}

OfxStatus clipReleaseImage(OfxPropertySetHandle handle) {
    return guardStatus([&]() -> OfxStatus {
        ClipImage* image = ClipImage::fromHandle(handle);
        if (image == nullptr) {
            return kOfxStatErrBadHandle;
        }
        return image->clip().release(*image) ? kOfxStatOK : kOfxStatErrBadHandle;
    });
}

OfxStatus clipGetRegionOfDefinition(OfxImageClipHandle handle, OfxTime time, OfxRectD* bounds) {
    return withClip(handle, [&](Clip& clip) {
        EffectInstance* instance = clip.owner().asInstance();
        if (instance == nullptr) {
            return kOfxStatErrBadHandle;
        }
        if (bounds == nullptr) {
            return kOfxStatErrValue;
        }
        const auto context = instance->imageContext(clip, time);
        *bounds = clip.regionOfDefinition(context.renderScale);
        return kOfxStatOK;
    });
}

int abortRender(OfxImageEffectHandle handle) {
    try {
        ImageEffect* effect = ImageEffect::fromHandle(handle);
        EffectInstance* instance = effect ? effect->asInstance() : nullptr;
        return instance != nullptr && instance->abortRequested() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

OfxStatus imageMemoryAlloc(OfxImageEffectHandle, size_t bytes, OfxImageMemoryHandle* memory) {
    return guardStatus([&]() -> OfxStatus {
        if (memory == nullptr) {
            return kOfxStatErrValue;
        }
        *memory = (new ImageMemory(bytes))->handle();
        return kOfxStatOK;
    });
}

OfxStatus imageMemoryFree(OfxImageMemoryHandle handle) {
    return guardStatus([&]() -> OfxStatus {
        ImageMemory* memory = ImageMemory::fromHandle(handle);
        if (memory == nullptr) {
            return kOfxStatErrBadHandle;
        }
        delete memory;
        return kOfxStatOK;
    });
}

OfxStatus imageMemoryLock(OfxImageMemoryHandle handle, void** pointer) {
    return guardStatus([&]() -> OfxStatus {
        ImageMemory* memory = ImageMemory::fromHandle(handle);
        if (memory == nullptr) {
            return kOfxStatErrBadHandle;
        }
        if (pointer == nullptr) {
            return kOfxStatErrValue;
        }
        *pointer = memory->lock();
        return kOfxStatOK;
    });
}

OfxStatus imageMemoryUnlock(OfxImageMemoryHandle handle) {
    return guardStatus([&]() -> OfxStatus {
        ImageMemory* memory = ImageMemory::fromHandle(handle);
        if (memory == nullptr) {
            return kOfxStatErrBadHandle;
        }
        return memory->unlock() ? kOfxStatOK : kOfxStatErrValue;
    });
}

const OfxImageEffectSuiteV1 kImageEffectSuite = {
    getPropertySet,     getParamSet,      clipDefine,       clipGetHandle,
    clipGetPropertySet, clipGetImage,     clipReleaseImage, clipGetRegionOfDefinition,
    abortRender,        imageMemoryAlloc, imageMemoryFree,  imageMemoryLock,
    imageMemoryUnlock};

} // namespace

const OfxImageEffectSuiteV1* imageEffectSuiteV1() {
    return &kImageEffectSuite;
}

} // namespace ofxhost
