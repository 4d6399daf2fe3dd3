#pragma once

#include "ofx/support/ImageEffect.h"

namespace testplugin {

// The instance: scales the source by "gain", passes through when nothing would change,
// resets the gain when "reset" is pressed, fails on request ("fail_render") and writes the
// gain from render when the note asks for it.
class TestEffect : public OFX::ImageEffect {
public:
    explicit TestEffect(OfxImageEffectHandle handle);

    void render(const OFX::RenderArguments& args) override;
    bool isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& identityClip,
                    double& identityTime) override;
    void changedParam(const OFX::InstanceChangedArgs& args, const std::string& paramName) override;

private:
    OFX::Clip* source_;
    OFX::Clip* output_;
    OFX::DoubleParam* gain_;
    OFX::IntParam* offset_;
    OFX::BooleanParam* invert_;
    OFX::BooleanParam* failRender_;
    OFX::StringParam* note_;
};

} // namespace testplugin
