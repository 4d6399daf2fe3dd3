#include "overlays/EffectOverlayParams.h"

#include "ofx/support/ImageEffect.h"

namespace OFX {

namespace {

const char* const kSourceClip = "Source";

// Runs fetch (a ParamSet fetch of one kind) and read on what it gives; nothing on a missing
// parameter or any exception.
template <class Fetch, class Read>
auto readParam(const std::string& name, Fetch fetch, Read read)
    -> std::optional<decltype(read(*fetch(name)))> {
    if (name.empty()) {
        return std::nullopt;
    }
    try {
        if (auto* param = fetch(name)) {
            return read(*param);
        }
    } catch (...) {
    }
    return std::nullopt;
}

template <class Fetch, class Write>
bool writeParam(const std::string& name, Fetch fetch, Write write) {
    if (name.empty()) {
        return false;
    }
    try {
        if (auto* param = fetch(name)) {
            write(*param);
            return true;
        }
    } catch (...) {
    }
    return false;
}

} // namespace

std::optional<OfxPointD> EffectOverlayParams::getDouble2D(const std::string& name, OfxTime time) {
    return readParam(
        name, [this](const std::string& n) { return effect_.fetchDouble2DParam(n); },
        [time](const Double2DParam& p) { return p.getValueAtTime(time); });
}

std::optional<double> EffectOverlayParams::getDouble(const std::string& name, OfxTime time) {
    return readParam(
        name, [this](const std::string& n) { return effect_.fetchDoubleParam(n); },
        [time](const DoubleParam& p) { return p.getValueAtTime(time); });
}

std::optional<int> EffectOverlayParams::getChoice(const std::string& name, OfxTime time) {
    return readParam(
        name, [this](const std::string& n) { return effect_.fetchChoiceParam(n); },
        [time](const ChoiceParam& p) { return p.getValueAtTime(time); });
}

std::optional<int> EffectOverlayParams::getInt(const std::string& name, OfxTime time) {
    return readParam(
        name, [this](const std::string& n) { return effect_.fetchIntParam(n); },
        [time](const IntParam& p) { return p.getValueAtTime(time); });
}

std::optional<bool> EffectOverlayParams::getBoolean(const std::string& name, OfxTime time) {
    return readParam(
        name, [this](const std::string& n) { return effect_.fetchBooleanParam(n); },
        [time](const BooleanParam& p) { return p.getValueAtTime(time); });
}

bool EffectOverlayParams::setDouble2D(const std::string& name, double x, double y) {
    return writeParam(
        name, [this](const std::string& n) { return effect_.fetchDouble2DParam(n); },
        [x, y](Double2DParam& p) { p.setValue(x, y); });
}

bool EffectOverlayParams::setDouble(const std::string& name, double value) {
    return writeParam(
        name, [this](const std::string& n) { return effect_.fetchDoubleParam(n); },
        [value](DoubleParam& p) { p.setValue(value); });
}

void EffectOverlayParams::beginEditBlock(const std::string& label) {
    try {
        effect_.beginEditBlock(label);
    } catch (...) {
    }
}

void EffectOverlayParams::endEditBlock() {
    try {
        effect_.endEditBlock();
    } catch (...) {
    }
}

std::optional<OfxRectD> EffectOverlayParams::sourceRegion(OfxTime time) {
    try {
        const Clip* clip = effect_.fetchClip(kSourceClip);
        if (clip != nullptr && clip->isConnected()) {
            return clip->getRegionOfDefinition(time);
        }
    } catch (...) {
    }
    return std::nullopt;
}

double EffectOverlayParams::sourcePixelAspect() {
    try {
        const Clip* clip = effect_.fetchClip(kSourceClip);
        if (clip != nullptr && clip->isConnected()) {
            const double aspect = clip->getPixelAspectRatio();
            return aspect > 0.0 ? aspect : 1.0;
        }
    } catch (...) {
    }
    return 1.0;
}

} // namespace OFX
