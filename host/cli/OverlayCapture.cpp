#include "host/cli/OverlayCapture.h"

#include "host/core/HostError.h"
#include "host/effect/EffectInstance.h"
#include "host/interact/OverlayInteract.h"
#include "host/plugin/Host.h"
#include "host/plugin/Plugin.h"

#include <cmath>

namespace ofxhost {

OverlayDrawing OverlayCapture::capture(EffectInstance& instance, int frame, double renderScale,
                                       int viewportWidth, int viewportHeight) {
    OverlayDrawing drawing;
    drawing.frame = frame;
    drawing.width = static_cast<int>(std::lround(instance.project().size[0]));
    drawing.height = static_cast<int>(std::lround(instance.project().size[1]));

    const HostProfile& profile = instance.host().profile();
    if (!profile.supportsOverlays) {
        drawing.note = "the host offers no overlays (--overlays on offers them)";
        return drawing;
    }
    if (!profile.drawSuite) {
        drawing.note = "the host offers no draw suite and OpenGL overlays are not drawn here "
                       "(--draw-suite on offers it)";
        return drawing;
    }
    if (OverlayInteract::entryPointOf(instance) == nullptr) {
        drawing.note = instance.plugin().identifier() + " has no overlay";
        return drawing;
    }

    InteractSettings settings;
    settings.viewport[0] = viewportWidth;
    settings.viewport[1] = viewportHeight;
    OverlayInteract& overlay = instance.createOverlay(settings);
    Recorder& recorder = instance.host().recorder();
    recorder.clearDrawCalls();
    InteractArgs args;
    args.time = frame;
    args.renderScale[0] = args.renderScale[1] = renderScale;
    const OfxStatus status = overlay.draw(args);
    drawing.calls = recorder.drawCalls();
    instance.destroyOverlay(overlay);
    if (status != kOfxStatOK && status != kOfxStatReplyDefault) {
        throw HostError(status, "the overlay failed to draw frame " + std::to_string(frame) +
                                    " (status " + std::to_string(status) + ")");
    }
    return drawing;
}

} // namespace ofxhost
