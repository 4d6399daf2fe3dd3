#include "FakeHost.h"
#include "FakeSuites.h"

#include "ofx/ofxParam.h"

namespace fakehost {

namespace {
FakeHost* currentHost = nullptr;

template <class T>
T* byName(const std::vector<std::unique_ptr<T>>& items, const std::string& name) {
    for (const auto& item : items) {
        if (item->name == name) {
            return item.get();
        }
    }
    return nullptr;
}
} // namespace

void* PropertyBag::getPointer(const std::string& name, size_t index) const {
    return std::get<void*>(values.at(name).at(index));
}

FakeParam* FakeEffect::param(const std::string& name) {
    return byName(params, name);
}

FakeClip* FakeEffect::clip(const std::string& name) {
    return byName(clips, name);
}

FakeHost::FakeHost() {
    currentHost = this;
    host_.host = hostProps.handle();
    host_.fetchSuite = &FakeHost::fetchSuite;
    hostProps.values[kOfxPropName] = {std::string("org.halden.fakehost")};
    hostProps.values[kOfxImageEffectPropSupportsOverlays] = {1};
}

FakeHost::~FakeHost() {
    currentHost = nullptr;
}

FakeHost& FakeHost::current() {
    return *currentHost;
}

const void* FakeHost::fetchSuite(OfxPropertySetHandle, const char* name, int version) {
    if (currentHost == nullptr || currentHost->withheld_.count(name) != 0) {
        return nullptr;
    }
    const struct {
        const char* name;
        int newest; // every version from 1 up to this one
        const void* table;
    } suites[] = {
        {kOfxPropertySuite, 1, &propertySuite},       {kOfxImageEffectSuite, 1, &imageEffectSuite},
        {kOfxParameterSuite, 1, &parameterSuite},     {kOfxMessageSuite, 2, &messageSuite},
        {kOfxMultiThreadSuite, 1, &multiThreadSuite}, {kOfxInteractSuite, 1, &interactSuite}};
    for (const auto& suite : suites) {
        if (std::string(name) == suite.name && version >= 1 && version <= suite.newest) {
            return suite.table;
        }
    }
    return nullptr;
}

std::unique_ptr<FakeEffect> FakeHost::newDescriptor() {
    auto descriptor = std::make_unique<FakeEffect>();
    descriptor->props.values[kOfxPropType] = {std::string(kOfxTypeImageEffect)};
    return descriptor;
}

std::unique_ptr<FakeEffect> FakeHost::newInstance(FakeEffect& described, const char* context) {
    auto instance = std::make_unique<FakeEffect>();
    instance->props.values[kOfxPropType] = {std::string(kOfxTypeImageEffectInstance)};
    instance->props.values[kOfxImageEffectPropContext] = {std::string(context)};
    for (const auto& definedClip : described.clips) {
        auto copy = std::make_unique<FakeClip>(*definedClip);
        copy->props.values[kOfxImageClipPropConnected] = {1};
        copy->props.values[kOfxImageEffectPropPixelDepth] = {std::string(kOfxBitDepthFloat)};
        copy->props.values[kOfxImageEffectPropComponents] = {std::string(kOfxImageComponentRGBA)};
        instance->clips.push_back(std::move(copy));
    }
    for (const auto& definedParam : described.params) {
        auto copy = std::make_unique<FakeParam>(*definedParam);
        const size_t count = componentCount(copy->type);
        const auto defaults = copy->props.values.find(kOfxParamPropDefault);
        for (size_t i = 0; i < count; ++i) {
            if (defaults != copy->props.values.end() && i < defaults->second.size()) {
                copy->value.push_back(defaults->second[i]);
            } else if (isIntType(copy->type)) {
                copy->value.emplace_back(0);
            } else if (isStringType(copy->type)) {
                copy->value.emplace_back(std::string());
            } else {
                copy->value.emplace_back(0.0);
            }
        }
        instance->params.push_back(std::move(copy));
    }
    return instance;
}

std::unique_ptr<FakeImage> FakeHost::newImage(const OfxRectI& bounds, int rowFloats) {
    auto image = std::make_unique<FakeImage>();
    image->storage.assign(
        static_cast<size_t>(rowFloats) * static_cast<size_t>(bounds.y2 - bounds.y1), 0.0f);
    PropertyBag& props = image->props;
    props.values[kOfxPropType] = {std::string(kOfxTypeImage)};
    props.values[kOfxImagePropData] = {static_cast<void*>(image->storage.data())};
    props.values[kOfxImagePropBounds] = {bounds.x1, bounds.y1, bounds.x2, bounds.y2};
    props.values[kOfxImagePropRegionOfDefinition] = {bounds.x1, bounds.y1, bounds.x2, bounds.y2};
    props.values[kOfxImagePropRowBytes] = {rowFloats * static_cast<int>(sizeof(float))};
    props.values[kOfxImageEffectPropPixelDepth] = {std::string(kOfxBitDepthFloat)};
    props.values[kOfxImageEffectPropComponents] = {std::string(kOfxImageComponentRGBA)};
    return image;
}

} // namespace fakehost
