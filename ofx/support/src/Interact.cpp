#include "ofx/support/Interact.h"

#include "ofx/support/Exception.h"
#include "ofx/support/HostSuites.h"
#include "ofx/support/Param.h"

#include <algorithm>

namespace OFX {

namespace {

OfxPropertySetHandle interactProperties(OfxInteractHandle handle) {
    const OfxInteractSuiteV1& suite = requireSuite(suites().interact, kOfxInteractSuite);
    OfxPropertySetHandle props = nullptr;
    throwIfFailed(suite.interactGetPropertySet(handle, &props), "interactGetPropertySet");
    return props;
}

} // namespace

Interact::Interact(OfxInteractHandle handle) : handle_(handle), props_(interactProperties(handle)) {
    props_.setPointer(kOfxPropInstanceData, this);
}

Interact::~Interact() {
    props_.trySetPointer(kOfxPropInstanceData, nullptr);
}

Interact* Interact::fromHandle(OfxInteractHandle handle) {
    const OfxInteractSuiteV1* suite = suites().interact;
    OfxPropertySetHandle props = nullptr;
    if (suite == nullptr || handle == nullptr ||
        suite->interactGetPropertySet(handle, &props) != kOfxStatOK) {
        return nullptr;
    }
    void* data = nullptr;
    PropertySet(props, false).tryGetPointer(kOfxPropInstanceData, data);
    return static_cast<Interact*>(data);
}

OfxPointD Interact::getPixelScale() const {
    return OfxPointD{props_.getDouble(kOfxInteractPropPixelScale, 0),
                     props_.getDouble(kOfxInteractPropPixelScale, 1)};
}

OfxRGBColourD Interact::getBackgroundColour() const {
    return OfxRGBColourD{props_.getDouble(kOfxInteractPropBackgroundColour, 0),
                         props_.getDouble(kOfxInteractPropBackgroundColour, 1),
                         props_.getDouble(kOfxInteractPropBackgroundColour, 2)};
}

bool Interact::getSuggestedColour(OfxRGBColourD& colour) const {
    OfxRGBColourD value{1.0, 1.0, 1.0};
    if (props_.tryGetDouble(kOfxInteractPropSuggestedColour, value.r, 0) != kOfxStatOK ||
        props_.tryGetDouble(kOfxInteractPropSuggestedColour, value.g, 1) != kOfxStatOK ||
        props_.tryGetDouble(kOfxInteractPropSuggestedColour, value.b, 2) != kOfxStatOK) {
        return false;
    }
    colour = value;
    return true;
}

bool Interact::hasAlpha() const {
    return props_.getInt(kOfxInteractPropHasAlpha) != 0;
}

int Interact::getBitDepth() const {
    return props_.getInt(kOfxInteractPropBitDepth);
}

void Interact::requestRedraw() const {
    if (const OfxInteractSuiteV1* suite = suites().interact) {
        suite->interactRedraw(handle_);
    }
}

void Interact::swapBuffers() const {
    if (const OfxInteractSuiteV1* suite = suites().interact) {
        suite->interactSwapBuffers(handle_);
    }
}

void Interact::addParamToSlaveTo(const Param& param) {
    if (std::find(slaveParams_.begin(), slaveParams_.end(), param.getName()) ==
        slaveParams_.end()) {
        slaveParams_.push_back(param.getName());
        writeSlaves();
    }
}

void Interact::removeParamToSlaveTo(const Param& param) {
    const auto found = std::find(slaveParams_.begin(), slaveParams_.end(), param.getName());
    if (found != slaveParams_.end()) {
        slaveParams_.erase(found);
        writeSlaves();
    }
}

void Interact::writeSlaves() const {
    if (slaveParams_.empty()) {
        props_.reset(kOfxInteractPropSlaveToParam);
    } else {
        props_.setStringN(kOfxInteractPropSlaveToParam, slaveParams_);
    }
}

bool Interact::draw(const DrawArgs&) {
    return false;
}

bool Interact::penMotion(const PenArgs&) {
    return false;
}

bool Interact::penDown(const PenArgs&) {
    return false;
}

bool Interact::penUp(const PenArgs&) {
    return false;
}

bool Interact::keyDown(const KeyArgs&) {
    return false;
}

bool Interact::keyUp(const KeyArgs&) {
    return false;
}

bool Interact::keyRepeat(const KeyArgs&) {
    return false;
}

bool Interact::gainFocus(const FocusArgs&) {
    return false;
}

bool Interact::loseFocus(const FocusArgs&) {
    return false;
}

} // namespace OFX
