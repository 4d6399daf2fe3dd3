#pragma once

#include "ofx/ofxCore.h"

#include <optional>
#include <string>

namespace OFX {

// What an overlay reads and edits on its effect instance: parameter values by name, host edit
// blocks, and the "Source" clip's region of definition. A read gives nothing when the effect
// has no parameter of that name and kind, or the host fails; a failed write returns false.
// Nothing here throws.
class OverlayParams {
public:
    virtual ~OverlayParams() = default;

    virtual std::optional<OfxPointD> getDouble2D(const std::string& name, OfxTime time) = 0;
    virtual std::optional<double> getDouble(const std::string& name, OfxTime time) = 0;
    // The option index.
    virtual std::optional<int> getChoice(const std::string& name, OfxTime time) = 0;
    virtual std::optional<int> getInt(const std::string& name, OfxTime time) = 0;
    virtual std::optional<bool> getBoolean(const std::string& name, OfxTime time) = 0;

    virtual bool setDouble2D(const std::string& name, double x, double y) = 0;
    virtual bool setDouble(const std::string& name, double value) = 0;

    // One undo step on the host for the changes in between.
    virtual void beginEditBlock(const std::string& label) = 0;
    virtual void endEditBlock() = 0;

    // Canonical coordinates; nothing when the clip is missing or not connected.
    virtual std::optional<OfxRectD> sourceRegion(OfxTime time) = 0;
    // Of the "Source" clip's pixels; 1 when the clip is missing or the host fails.
    virtual double sourcePixelAspect() = 0;
};

} // namespace OFX
