#include "FakeHost.h"
#include "FakeSuites.h"

#include "ofx/ofxParam.h"

namespace fakehost {

namespace {
FakeHost* currentHost = nullptr;
} // namespace

int PropertyBag::getInt(const std::string& name, size_t index) const {
    return std::get<int>(values.at(name).at(index));
}

double PropertyBag::getDouble(const std::string& name, size_t index) const {
    return std::get<double>(values.at(name).at(index));
}

std::string PropertyBag::getString(const std::string& name, size_t index) const {
    return std::get<std::string>(values.at(name).at(index));
}

void* PropertyBag::getPointer(const std::string& name, size_t index) const {
    return std::get<void*>(values.at(name).at(index));
}

std::vector<std::string> PropertyBag::getStrings(const std::string& name) const {
    std::vector<std::string> result;
    const auto found = values.find(name);
    if (found != values.end()) {
        for (const Value& value : found->second) {
            result.push_back(std::get<std::string>(value));
        }
    }
    return result;
}

float* FakeImage::pixel(int x, int y) {
    return storage.data() + static_cast<size_t>(y - bounds.y1) * static_cast<size_t>(rowFloats) +
           static_cast<size_t>(x - bounds.x1) * 4;
}

FakeParam* FakeEffect::param(const std::string& name) {
    for (auto& candidate : params) {
        if (candidate->name == name) {
            return candidate.get();
        }
    }
    return nullptr;
}

FakeClip* FakeEffect::clip(const std::string& name) {
    for (auto& candidate : clips) {
        if (candidate->name == name) {
            return candidate.get();
        }
    }
    return nullptr;
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
    const std::string suite = name;
    if (suite == kOfxPropertySuite && version == 1) {
        return &propertySuite;
    }
    if (suite == kOfxImageEffectSuite && version == 1) {
        return &imageEffectSuite;
    }
    if (suite == kOfxParameterSuite && version == 1) {
        return &parameterSuite;
    }
    if (suite == kOfxMessageSuite && (version == 1 || version == 2)) {
        return &messageSuite;
    }
    if (suite == kOfxMultiThreadSuite && version == 1) {
        return &multiThreadSuite;
    }
    if (suite == kOfxInteractSuite && version == 1) {
        return &interactSuite;
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
    image->bounds = bounds;
    image->rowFloats = rowFloats;
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
