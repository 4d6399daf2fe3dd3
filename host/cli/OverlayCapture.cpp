#include "host/cli/OverlayCapture.h"

#include "host/cli/GlViewer.h"

#include "host/core/HostError.h"
#include "host/effect/EffectInstance.h"
#include "host/interact/OverlayInteract.h"
#include "host/plugin/Host.h"
#include "host/plugin/Plugin.h"

#include <cmath>

namespace ofxhost {

namespace {

// Why the instance's overlay cannot be drawn in this host, or "".
std::string missingOverlay(EffectInstance& instance) {
    if (!instance.host().profile().supportsOverlays) {
        return "the host offers no overlays (--overlays on offers them)";
    }
    if (OverlayInteract::entryPointOf(instance) == nullptr) {
        return instance.plugin().identifier() + " has no overlay";
    }
    return "";
}

OfxStatus drawOnce(EffectInstance& instance, int frame, double renderScale, int viewportWidth,
                   int viewportHeight) {
    InteractSettings settings;
    settings.viewport[0] = viewportWidth;
    settings.viewport[1] = viewportHeight;
    OverlayInteract& overlay = instance.createOverlay(settings);
    InteractArgs args;
    args.time = frame;
    args.renderScale[0] = args.renderScale[1] = renderScale;
    const OfxStatus status = overlay.draw(args);
    instance.destroyOverlay(overlay);
    if (status != kOfxStatOK && status != kOfxStatReplyDefault) {
        throw HostError(status, "the overlay failed to draw frame " + std::to_string(frame) +
                                    " (status " + std::to_string(status) + ")");
    }
    return status;
}

} // namespace

OverlayDrawing OverlayCapture::capture(EffectInstance& instance, int frame, double renderScale,
                                       int viewportWidth, int viewportHeight) {
    OverlayDrawing drawing;
    drawing.frame = frame;
    drawing.width = static_cast<int>(std::lround(instance.project().size[0]));
    drawing.height = static_cast<int>(std::lround(instance.project().size[1]));

    drawing.note = missingOverlay(instance);
    if (drawing.note.empty() && !instance.host().profile().drawSuite) {
        drawing.note = "the host offers no draw suite, so the overlay draws with OpenGL "
                       "(--overlays-gl shows it; --draw-suite on offers the suite)";
    }
    if (!drawing.note.empty()) {
        return drawing;
    }
    Recorder& recorder = instance.host().recorder();
    recorder.clearDrawCalls();
    drawOnce(instance, frame, renderScale, viewportWidth, viewportHeight);
    drawing.calls = recorder.drawCalls();
    return drawing;
}

OverlayCapture::GlDrawing OverlayCapture::captureGl(EffectInstance& instance, int frame,
                                                    double renderScale, const RgbaImage& picture) {
    GlDrawing drawing;
    drawing.note = missingOverlay(instance);
    if (drawing.note.empty() && instance.host().profile().drawSuite) {
        drawing.note = "the host offers the draw suite, which the overlay draws through "
                       "(--overlay-image shows it; --draw-suite off leaves it OpenGL)";
    }
    if (!drawing.note.empty()) {
        drawing.picture = picture;
        return drawing;
    }
    GlViewer::Shown shown = GlViewer::show(picture, renderScale, [&] {
        drawOnce(instance, frame, renderScale, picture.width(), picture.height());
    });
    for (const std::string& change : shown.stateChanges) {
        instance.host().addViolation(change, kOfxInteractActionDraw);
    }
    drawing.picture = std::move(shown.picture);
    return drawing;
}

} // namespace ofxhost
