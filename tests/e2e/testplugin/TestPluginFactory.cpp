#include "TestPluginFactory.h"

#include "TestEffect.h"
#include "TestOverlay.h"
#include "TestPluginNames.h"

#include "ofx/support/ImageEffectDescriptor.h"

#include <initializer_list>

namespace testplugin {

TestPluginFactory::TestPluginFactory()
    : PluginFactoryHelper(kIdentifier, kVersionMajor, kVersionMinor) {}

void TestPluginFactory::describe(OFX::ImageEffectDescriptor& desc) {
    desc.setLabel(kLabel);
    desc.setPluginGrouping(kGrouping);
    desc.setPluginDescription(kDescription);
    desc.addSupportedContext(OFX::eContextFilter);
    desc.addSupportedContext(OFX::eContextGeneral);
    desc.addSupportedBitDepth(OFX::eBitDepthFloat);
    desc.setSupportsTiles(false);
    desc.setRenderThreadSafety(OFX::eRenderFullySafe);
    desc.setHostFrameThreading(false);
    desc.setOverlayInteractDescriptor(new TestOverlayDescriptor);
}

void TestPluginFactory::describeInContext(OFX::ImageEffectDescriptor& desc, OFX::ContextEnum) {
    OFX::ClipDescriptor* source = desc.defineClip(kSourceClip);
    source->addSupportedComponent(OFX::ePixelComponentRGBA);
    source->setSupportsTiles(false);

    OFX::ClipDescriptor* mask = desc.defineClip(kMaskClip);
    mask->addSupportedComponent(OFX::ePixelComponentAlpha);
    mask->setOptional(true);
    mask->setIsMask(true);
    mask->setSupportsTiles(false);

    OFX::ClipDescriptor* output = desc.defineClip(kOutputClip);
    output->addSupportedComponent(OFX::ePixelComponentRGBA);
    output->setSupportsTiles(false);

    OFX::DoubleParamDescriptor* gain = desc.defineDoubleParam(kGain);
    gain->setLabel("Gain");
    gain->setHint("Multiplies the source");
    gain->setDefault(1.0);
    gain->setRange(0.0, 10.0);
    gain->setDisplayRange(0.0, 4.0);
    gain->setIncrement(0.1);
    gain->setDigits(2);
    gain->setAnimates(true);

    OFX::IntParamDescriptor* offset = desc.defineIntParam(kOffset);
    offset->setLabel("Offset");
    offset->setDefault(0);
    offset->setRange(-100, 100);

    OFX::BooleanParamDescriptor* invert = desc.defineBooleanParam(kInvert);
    invert->setLabel("Invert");
    invert->setDefault(false);

    OFX::ChoiceParamDescriptor* mode = desc.defineChoiceParam(kMode);
    mode->setLabel("Mode");
    mode->appendOption("Multiply");
    mode->appendOption("Add");
    mode->appendOption("Screen");
    mode->setDefault(0);

    OFX::RGBParamDescriptor* tint = desc.defineRGBParam(kTint);
    tint->setLabel("Tint");
    tint->setDefault(1.0, 1.0, 1.0);

    OFX::RGBAParamDescriptor* tintAlpha = desc.defineRGBAParam(kTintAlpha);
    tintAlpha->setLabel("Tint Alpha");
    tintAlpha->setDefault(1.0, 1.0, 1.0, 1.0);

    // Canonical coordinates: the overlay draws and hit-tests in the same units.
    OFX::Double2DParamDescriptor* center = desc.defineDouble2DParam(kCenter);
    center->setLabel("Center");
    center->setDoubleType(OFX::eDoubleTypeXYAbsolute);
    center->setDefaultCoordinateSystem(OFX::eCoordinatesCanonical);
    center->setDefault(100.0, 100.0);

    OFX::Double3DParamDescriptor* point3 = desc.defineDouble3DParam(kPoint3);
    point3->setLabel("Point");
    point3->setDefault(0.0, 0.0, 0.0);

    OFX::StringParamDescriptor* note = desc.defineStringParam(kNote);
    note->setLabel("Note");
    note->setDefault("hello");

    OFX::PushButtonParamDescriptor* reset = desc.definePushButtonParam(kReset);
    reset->setLabel("Reset");

    OFX::ParametricParamDescriptor* curve = desc.defineParametricParam(kCurve);
    curve->setLabel("Curve");
    curve->setDimension(1);
    curve->setRange(0.0, 1.0);

    OFX::BooleanParamDescriptor* failRender = desc.defineBooleanParam(kFailRender);
    failRender->setLabel("Fail Render");
    failRender->setDefault(false);

    // Defined after its members so the host sees the parameters in the documented order.
    OFX::GroupParamDescriptor* advanced = desc.defineGroupParam(kAdvancedGroup);
    advanced->setLabel(kAdvancedGroup);
    note->setParent(*advanced);
    curve->setParent(*advanced);
    failRender->setParent(*advanced);

    OFX::PageParamDescriptor* controls = desc.definePageParam(kControlsPage);
    controls->setLabel(kControlsPage);
    const std::initializer_list<const OFX::ParamDescriptor*> children = {
        gain, offset, invert, mode, tint, center, advanced};
    for (const OFX::ParamDescriptor* child : children) {
        controls->addChild(*child);
    }
}

OFX::ImageEffect* TestPluginFactory::createInstance(OfxImageEffectHandle handle, OFX::ContextEnum) {
    return new TestEffect(handle);
}

} // namespace testplugin

void OFX::Plugin::getPluginIDs(OFX::PluginFactoryArray& ids) {
    static testplugin::TestPluginFactory factory;
    ids.push_back(&factory);
}
