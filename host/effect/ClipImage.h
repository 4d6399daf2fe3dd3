#pragma once

#include "host/effect/ImageSource.h"
#include "host/properties/PropertySet.h"

#include <memory>
#include <string>

namespace ofxhost {

class Clip;

// An image handed to the plug-in by clipGetImage: its property set is the handle, and it keeps
// the pixels alive until clipReleaseImage.
class ClipImage : public PropertySet {
public:
    struct Context {
        OfxTime time = 0.0;
        double renderScale[2] = {1.0, 1.0};
        std::string field = "OfxFieldNone";
        std::string uniqueIdentifier;
    };

    ClipImage(Clip& clip, std::shared_ptr<ImageSource> source, const Context& context);

    static ClipImage* fromHandle(OfxPropertySetHandle handle);
    Clip& clip() { return clip_; }
    const ImageSource& source() const { return *source_; }

private:
    Clip& clip_;
    std::shared_ptr<ImageSource> source_;
};

} // namespace ofxhost
