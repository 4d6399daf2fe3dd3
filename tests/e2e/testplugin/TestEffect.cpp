#include "TestEffect.h"

#include "GainProcessor.h"
#include "TestPluginNames.h"

#include "ofx/support/Exception.h"

#include <stdexcept>

namespace testplugin {

namespace {

template <class T>
T* require(T* object, const char* name) {
    if (object == nullptr) {
        throw OFX::Exception(kOfxStatErrUnknown, std::string("missing ") + name);
    }
    return object;
}

bool isFloatRGBA(const OFX::Image& image) {
    return image.getPixelDepth() == OFX::eBitDepthFloat &&
           image.getPixelComponents() == OFX::ePixelComponentRGBA;
}

} // namespace

TestEffect::TestEffect(OfxImageEffectHandle handle)
    : ImageEffect(handle), source_(require(fetchClip(kSourceClip), kSourceClip)),
      output_(require(fetchClip(kOutputClip), kOutputClip)),
      gain_(require(fetchDoubleParam(kGain), kGain)),
      offset_(require(fetchIntParam(kOffset), kOffset)),
      invert_(require(fetchBooleanParam(kInvert), kInvert)),
      failRender_(require(fetchBooleanParam(kFailRender), kFailRender)),
      note_(require(fetchStringParam(kNote), kNote)) {}

void TestEffect::render(const OFX::RenderArguments& args) {
    if (failRender_->getValueAtTime(args.time)) {
        throw std::runtime_error("requested failure");
    }
    if (note_->getValueAtTime(args.time) == kWriteInRender) {
        gain_->setValue(gain_->getValueAtTime(args.time));
    }
    std::unique_ptr<OFX::Image> output = output_->fetchImage(args.time);
    if (output == nullptr) {
        throw OFX::Exception(kOfxStatFailed, "no output image");
    }
    std::unique_ptr<OFX::Image> source =
        source_->isConnected() ? source_->fetchImage(args.time) : nullptr;
    if (!isFloatRGBA(*output) || (source != nullptr && !isFloatRGBA(*source))) {
        throw OFX::Exception(kOfxStatErrImageFormat, "float RGBA images only");
    }
    GainProcessor processor(*this, source.get(), gain_->getValueAtTime(args.time),
                            invert_->getValueAtTime(args.time));
    processor.setDstImg(output.get());
    processor.setRenderWindow(args.renderWindow);
    processor.process();
}

bool TestEffect::isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& identityClip,
                            double& identityTime) {
    if (gain_->getValueAtTime(args.time) == 1.0 && !invert_->getValueAtTime(args.time) &&
        offset_->getValueAtTime(args.time) == 0) {
        identityClip = source_;
        identityTime = args.time;
        return true;
    }
    return false;
}

void TestEffect::changedParam(const OFX::InstanceChangedArgs&, const std::string& paramName) {
    if (paramName == kReset) {
        gain_->setValue(1.0);
        sendMessage(OFX::eMessageMessage, "reset", "Gain reset");
    }
}

} // namespace testplugin
