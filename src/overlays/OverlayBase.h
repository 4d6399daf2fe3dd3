#pragma once

#include "overlays/OverlayCanvas.h"
#include "overlays/OverlayParams.h"

#include "ofx/support/InteractArgs.h"

#include <cstdint>
#include <string>

namespace OFX {

// The frame the overlays lie over: the "Source" clip's region of definition and the pixel aspect
// ratio of its image. The kernels measure positions in image pixels, so centred, aspect-corrected
// values count in the image's pixel aspect, not the canonical one.
struct OverlayFrame {
    double x = 0.0; // lower-left corner, canonical
    double y = 0.0;
    double width = 1920.0; // canonical
    double height = 1080.0;
    double pixelAspect = 1.0;

    // From the "Source" clip; a missing clip or any error keeps the frame as it is. An empty
    // axis becomes 0 to 1920 or 0 to 1080.
    void update(OverlayParams* effect, OfxTime time);
    OfxPointD toCanonical(const OfxPointD& normalized) const;
    // 0.5 on an axis whose size is not above 0.
    OfxPointD toNormalized(const OfxPointD& canonical) const;
    // Width over height in image pixels; 1 when a size is not above 0.
    double imageAspect() const;
};

// One on-screen control of the definition. Works in normalized frame coordinates (0 to 1 on
// both axes) and canonical coordinates (the frame's corner + normalized × frame size); 2D
// parameter values go through the overlay coordinate system. Sizes called "px" are screen
// pixels, multiplied by the viewer's pixel scale; hit tolerances are canonical units.
class OverlayBase {
public:
    static constexpr std::uint32_t kIdle = 0;
    static constexpr std::uint32_t kDragging = 2;
    // Tolerance of every handle, canonical units.
    static constexpr double kHitTolerance = 25.0;

    // effect is nullptr when the interact serves no effect instance.
    explicit OverlayBase(OverlayParams* effect) : effect_(effect) {}
    virtual ~OverlayBase();
    OverlayBase(const OverlayBase&) = delete;
    OverlayBase& operator=(const OverlayBase&) = delete;

    // Each returns true when it handled the event.
    virtual bool draw(OverlayCanvas& ctx, const DrawArgs& args) = 0;
    virtual bool penMotion(const PenArgs& args) = 0;
    virtual bool penDown(const PenArgs& args) = 0;
    virtual bool penUp(const PenArgs& args) = 0;

    // Set by the manager from the definition.
    void setColour(float r, float g, float b);
    void setLabel(const std::string& label) { label_ = label; }
    void setVisibleWhen(const std::string& condition) { visibleWhen_ = condition; }
    void setCoordSystem(std::uint32_t code) { coordSystem_ = code; }

    std::uint32_t state() const { return state_; }
    const OverlayFrame& frame() const { return frame_; }
    double frameWidth() const { return frame_.width; }
    double frameHeight() const { return frame_.height; }

    OfxPointD toPixel(const OfxPointD& normalized) const;
    // 0.5 on an axis whose size is not above 0.
    OfxPointD toNormalized(const OfxPointD& pixel) const;
    // Normalized position of a 2D parameter; the frame centre when it is missing.
    OfxPointD getPointValue(const std::string& param, OfxTime time) const;
    void setPointValue(const std::string& param, const OfxPointD& normalized);
    // From the "Source" clip; a missing clip or any error keeps the current frame.
    void updateFrameSize(OfxTime time) { frame_.update(effect_, time); }
    // The `visible_when` rule. Throws std::invalid_argument for a comparison with a right side
    // that is not a number.
    bool isVisible(OfxTime time) const;

    // Square test, not a circle.
    static bool isWithin(const OfxPointD& a, const OfxPointD& b, double tolerance);
    static void applyLineWidth(OverlayCanvas& ctx, float width);
    // radius in screen pixels: the box is scaled by pixelScale on each axis.
    static void drawCircle(OverlayCanvas& ctx, const OfxPointD& centre, double radius,
                           const OfxPointD& pixelScale);
    static void drawLine(OverlayCanvas& ctx, const OfxPointD& from, const OfxPointD& to);

    // Ends a drag however it stops (pen up, overlays hidden, focus lost, interact gone): state 0
    // and its edit block closed. Returns whether a drag was going on.
    bool endDrag();

protected:
    // The definition's colour (white without one), highlighted while dragging.
    void applyColour(OverlayCanvas& ctx) const;
    void drawLabel(OverlayCanvas& ctx, const OfxPointD& position) const;
    double minDim() const;
    // Sizes in frame units: capped at 1.0, and floor when not above floor.
    static double limitSize(double value, double floor);

    // A drag: state 2 and an open host edit block, until endDrag.
    void beginDrag(const std::string& editLabel);

    OverlayParams* effect() const { return effect_; }

private:
    OverlayParams* effect_;
    std::uint32_t state_ = kIdle;
    OverlayFrame frame_;
    float colour_[3] = {1.0f, 1.0f, 1.0f};
    bool hasColour_ = false;
    std::string label_;
    std::string visibleWhen_;
    std::uint32_t coordSystem_ = 0;
    bool editBlockOpen_ = false;
};

} // namespace OFX
