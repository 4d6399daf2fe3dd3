#include "host/effect/ClipImage.h"

#include "host/effect/Clip.h"

#include <utility>

namespace ofxhost {

ClipImage::ClipImage(Clip& clip, std::shared_ptr<ImageSource> source, const Context& context)
    : clip_(clip), source_(std::move(source)) {
    const OfxRectI b = source_->bounds();
    addString(kOfxPropType, {kOfxTypeImage});
    addString(kOfxImageEffectPropPixelDepth, {source_->pixelDepth()});
    addString(kOfxImageEffectPropComponents, {source_->components()});
    addString(kOfxImageEffectPropPreMultiplication, {source_->premultiplication()});
    addDouble(kOfxImageEffectPropRenderScale, {context.renderScale[0], context.renderScale[1]});
    addDouble(kOfxImagePropPixelAspectRatio, {1.0});
    addPointer(kOfxImagePropData, {source_->data()});
    addInt(kOfxImagePropBounds, {b.x1, b.y1, b.x2, b.y2});
    addInt(kOfxImagePropRegionOfDefinition, {b.x1, b.y1, b.x2, b.y2});
    addInt(kOfxImagePropRowBytes, {source_->rowBytes()});
    addString(kOfxImagePropField, {context.field});
    addString(kOfxImagePropUniqueIdentifier, {context.uniqueIdentifier});
    makeHostOnly();
}

ClipImage* ClipImage::fromHandle(OfxPropertySetHandle handle) {
    return dynamic_cast<ClipImage*>(PropertySet::fromHandle(handle));
}

} // namespace ofxhost
