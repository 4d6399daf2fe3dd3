#pragma once

#include "ofx/ofxInteract.h"
#include "ofx/ofxPixels.h"
#include "ofx/support/InteractArgs.h"
#include "ofx/support/PropertySet.h"

#include <string>
#include <vector>

namespace OFX {

class Param;

// Base of an interact instance (an overlay or a custom parameter UI). Each event handler
// returns true when it used the event; false lets the host apply its default.
class Interact {
public:
    explicit Interact(OfxInteractHandle handle);
    virtual ~Interact();
    Interact(const Interact&) = delete;
    Interact& operator=(const Interact&) = delete;

    // The instance created for a host handle, or nullptr.
    static Interact* fromHandle(OfxInteractHandle handle);

    OfxInteractHandle getHandle() const { return handle_; }
    const PropertySet& getPropertySet() const { return props_; }

    OfxPointD getPixelScale() const;
    OfxRGBColourD getBackgroundColour() const;
    // false when the host has no user-chosen overlay colour.
    bool getSuggestedColour(OfxRGBColourD& colour) const;
    bool hasAlpha() const;
    int getBitDepth() const;

    void requestRedraw() const;
    void swapBuffers() const;
    // Changes of these parameters make the host redraw the interact.
    void addParamToSlaveTo(const Param& param);
    void removeParamToSlaveTo(const Param& param);

    virtual bool draw(const DrawArgs& args);
    virtual bool penMotion(const PenArgs& args);
    virtual bool penDown(const PenArgs& args);
    virtual bool penUp(const PenArgs& args);
    virtual bool keyDown(const KeyArgs& args);
    virtual bool keyUp(const KeyArgs& args);
    virtual bool keyRepeat(const KeyArgs& args);
    virtual bool gainFocus(const FocusArgs& args);
    virtual bool loseFocus(const FocusArgs& args);

private:
    void writeSlaves() const;

    OfxInteractHandle handle_;
    PropertySet props_;
    std::vector<std::string> slaveParams_;
};

} // namespace OFX
