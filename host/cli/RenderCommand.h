#pragma once

#include "host/cli/CommandLine.h"
#include "host/cli/RgbaImage.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

namespace ofxhost {

class DeviceImage;
class EffectInstance;
class HostImage;
class ImageSource;
class PluginSession;

// `halden-render` without --describe: loads the bundle as a host does, creates an instance,
// attaches the input (or the demo scene), applies --set values and --press presses as user
// edits, renders every frame over the whole image and writes each one, and the overlay of
// the first frame when asked. Prints "Wrote <absolute path>" per file; a progress line goes
// to stderr when it is a terminal, and notes (why no overlay was drawn) too.
// Failures throw UsageError, HostError or ImageIoError with one line.
class RenderCommand {
public:
    explicit RenderCommand(std::filesystem::path defaultBundle)
        : defaultBundle_(std::move(defaultBundle)) {}

    // The files written, in frame order.
    std::vector<std::filesystem::path> run(const CliOptions& options, std::ostream& out) const;

    // The proxy size of a full-size image at a render scale: ceil(size * scale).
    static int scaledSize(int size, double scale);

    // One clip's pixels: in host memory, and also in device memory when the plug-in gets those.
    struct ClipPixels {
        std::shared_ptr<HostImage> host;
        std::shared_ptr<DeviceImage> device;

        std::shared_ptr<ImageSource> source() const;
    };

private:
    // The format and folder of the output, before any work is done.
    static void checkOutput(const CliOptions& options);
    static std::vector<std::filesystem::path>
    renderFrames(const CliOptions& options, PluginSession& session, EffectInstance& instance,
                 const ClipPixels& output, const std::optional<ImagePlacement>& placement,
                 std::ostream& out);
    static void applyEdits(const CliOptions& options, EffectInstance& instance);
    // --overlays and --overlay-image, from the first frame's picture.
    static void writeOverlays(const CliOptions& options, EffectInstance& instance,
                              const RgbaImage& picture, int frame, std::ostream& out);
    static std::string failureDetail(PluginSession& session, EffectInstance& instance);

    std::filesystem::path defaultBundle_;
};

} // namespace ofxhost
