#include "host/cli/RenderCommand.h"

#include "host/cli/DemoScene.h"
#include "host/cli/FrameFileName.h"
#include "host/cli/GlViewer.h"
#include "host/cli/ImageIo.h"
#include "host/cli/OverlayCapture.h"
#include "host/cli/OverlayJson.h"
#include "host/cli/OverlayPainter.h"
#include "host/cli/ParamValueParser.h"
#include "host/cli/PluginSession.h"
#include "host/core/HostError.h"
#include "host/effect/DeviceImage.h"
#include "host/effect/DeviceMemory.h"
#include "host/effect/EffectInstance.h"
#include "host/effect/HostImage.h"
#include "host/platform/ProcessEnvironment.h"

#include "ofx/ofxMessage.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <memory>

namespace ofxhost {

namespace {

bool succeeded(OfxStatus status) {
    return status == kOfxStatOK || status == kOfxStatReplyDefault;
}

using ClipPixels = RenderCommand::ClipPixels;

ClipPixels makePixels(const RgbaImage* content, const OfxRectI& bounds,
                      const std::optional<DeviceMemory>& memory) {
    ClipPixels pixels;
    pixels.host = std::make_shared<HostImage>(bounds);
    if (content != nullptr) {
        // Both are bottom row first with unpadded rows.
        std::memcpy(pixels.host->data(), content->data(),
                    std::size_t(pixels.host->width()) * pixels.host->height() *
                        HostImage::kPixelBytes);
    }
    if (memory) {
        pixels.device = std::make_shared<DeviceImage>(*memory, bounds);
        pixels.device->upload(*pixels.host);
    }
    return pixels;
}

RgbaImage toRgba(const HostImage& image) {
    RgbaImage result(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(result.pixel(0, y), image.pixel(image.bounds().x1, image.bounds().y1 + y),
                    std::size_t(image.width()) * HostImage::kPixelBytes);
    }
    return result;
}

RgbaImage atScale(const RgbaImage& image, double scale) {
    if (scale == 1.0) {
        return image;
    }
    RgbaImage scaled = image.resized(RenderCommand::scaledSize(image.width(), scale),
                                     RenderCommand::scaledSize(image.height(), scale));
    if (image.placement) {
        // The frame and the pixels' corner at the scale, in the file's terms (y down).
        const ImagePlacement& full = *image.placement;
        ImagePlacement& place = scaled.placement.emplace(full);
        const int frameHeight =
            RenderCommand::scaledSize(full.displayMaxY - full.displayMinY + 1, scale);
        place.displayMaxX =
            full.displayMinX - 1 +
            RenderCommand::scaledSize(full.displayMaxX - full.displayMinX + 1, scale);
        place.displayMaxY = full.displayMinY - 1 + frameHeight;
        const int fromBottom = full.displayMaxY - (full.dataMinY + image.height() - 1);
        place.dataMinX =
            full.displayMinX + int(std::floor((full.dataMinX - full.displayMinX) * scale));
        place.dataMinY =
            place.displayMaxY - int(std::floor(fromBottom * scale)) - scaled.height() + 1;
    }
    return scaled;
}

// Where the pixels sit in the frame the plug-in sees: OFX pixel coordinates, y up from the
// frame's bottom-left corner. A picture without placement is the frame.
OfxRectI boundsOf(const RgbaImage& image) {
    if (!image.placement) {
        return OfxRectI{0, 0, image.width(), image.height()};
    }
    const ImagePlacement& place = *image.placement;
    const int x1 = place.dataMinX - place.displayMinX;
    const int y1 = place.displayMaxY - (place.dataMinY + image.height() - 1);
    return OfxRectI{x1, y1, x1 + image.width(), y1 + image.height()};
}

// "frame N/M" on a terminal's stderr, erased when done; nothing when stderr is redirected.
class ProgressLine {
public:
    explicit ProgressLine(std::int64_t total)
        : total_(total),
          enabled_(ProcessEnvironment::isTerminal(ProcessEnvironment::Stream::Error)) {}
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Before anything else is printed on the terminal.
    void clear() {
        if (enabled_ && shown_ > 0) {
            std::cerr << "\r" << std::string(shown_, ' ') << "\r" << std::flush;
            shown_ = 0;
        }
    }

    void show(std::int64_t done) {
        if (!enabled_) {
            return;
        }
        const std::string text = "frame " + std::to_string(done) + "/" + std::to_string(total_);
        std::cerr << "\r" << text << std::flush;
        shown_ = std::max(shown_, text.size());
    }

private:
    std::int64_t total_;
    bool enabled_;
    std::size_t shown_ = 0;
};

} // namespace

std::shared_ptr<ImageSource> RenderCommand::ClipPixels::source() const {
    return device ? std::shared_ptr<ImageSource>(device) : host;
}

int RenderCommand::scaledSize(int size, double scale) {
    // The small tolerance keeps exact products (960 * 0.5) from rounding up.
    return std::max(1, static_cast<int>(std::ceil(size * scale - 1e-9)));
}

void RenderCommand::applyEdits(const CliOptions& options, EffectInstance& instance) {
    for (const ParamAssignment& assignment : options.assignments) {
        Param* param = instance.params().find(assignment.name);
        if (param == nullptr) {
            throw UsageError("unknown parameter '" + assignment.name +
                             "' (halden-render --describe lists them)");
        }
        const OfxStatus status =
            instance.setValue(assignment.name, ParamValueParser::parse(*param, assignment.value));
        if (!succeeded(status)) {
            throw HostError(status, "the plug-in rejected " + assignment.name + "=" +
                                        assignment.value + " (status " + std::to_string(status) +
                                        ")");
        }
    }
    for (const std::string& name : options.presses) {
        Param* param = instance.params().find(name);
        if (param == nullptr) {
            throw UsageError("unknown parameter '" + name +
                             "' (halden-render --describe lists them)");
        }
        if (param->type() != kOfxParamTypePushButton) {
            throw UsageError("parameter " + name + " is not a push button (use --set)");
        }
        const OfxStatus status = instance.pressButton(name);
        if (!succeeded(status)) {
            throw HostError(status, "the plug-in failed when " + name + " was pressed (status " +
                                        std::to_string(status) + ")");
        }
    }
}

std::string RenderCommand::failureDetail(PluginSession& session, EffectInstance& instance) {
    if (const auto message = instance.persistentMessage()) {
        return ": " + message->text;
    }
    const auto messages = session.host().recorder().messages();
    for (auto it = messages.rbegin(); it != messages.rend(); ++it) {
        if (it->type == kOfxMessageError || it->type == kOfxMessageFatal) {
            return ": " + it->text;
        }
    }
    return "";
}

void RenderCommand::checkOutput(const CliOptions& options) {
    auto checkFolder = [](const std::string& file) {
        const std::filesystem::path folder = std::filesystem::absolute(file).parent_path();
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error)) {
            throw UsageError("cannot write " + file + ": there is no folder " + folder.string());
        }
    };
    if (ImageIo::outputFormat(options.output) != ImageIo::Format::Exr &&
        (options.exr.half || options.exr.compression != ExrWriteOptions{}.compression)) {
        throw UsageError("--half and --compression are for EXR output, not " + options.output);
    }
    checkFolder(options.output);
    if (options.overlaysJson) {
        checkFolder(*options.overlaysJson);
    }
    for (const auto& [option, file] : {std::pair{"--overlay-image", &options.overlayImage},
                                       std::pair{"--overlays-gl", &options.overlaysGl}}) {
        if (!*file) {
            continue;
        }
        if (ImageIo::outputFormat(**file) == ImageIo::Format::Exr) {
            throw UsageError(std::string(option) +
                             " writes 8-bit pictures: use .png or .jpg, not " + **file);
        }
        checkFolder(**file);
    }
    if (options.overlaysGl && !GlViewer::available()) {
        throw UsageError("--overlays-gl needs Mesa's off-screen renderer (libOSMesa.so.8, "
                         "Debian's libosmesa6), which this system lacks");
    }
}

void RenderCommand::writeOverlays(const CliOptions& options, EffectInstance& instance,
                                  const RgbaImage& picture, int frame, std::ostream& out) {
    OverlayDrawing drawing;
    if (options.overlaysJson || options.overlayImage) {
        drawing = OverlayCapture::capture(instance, frame, options.renderScale, picture.width(),
                                          picture.height());
        if (!drawing.note.empty()) {
            std::cerr << "halden-render: note: " << drawing.note << "; no overlay drawn"
                      << std::endl;
        }
    }
    auto absolute = [](const std::string& file) {
        return std::filesystem::absolute(file).lexically_normal();
    };
    if (options.overlaysJson) {
        const std::filesystem::path path = absolute(*options.overlaysJson);
        const std::string json = OverlayJson::write(drawing);
        ImageIo::writeFile(path, json.data(), json.size());
        out << "Wrote " << path.string() << std::endl;
    }
    if (options.overlayImage) {
        const std::filesystem::path path = absolute(*options.overlayImage);
        RgbaImage painted = picture;
        OverlayPainter(painted, options.renderScale).paint(drawing.calls);
        ImageIo::write(painted, path);
        out << "Wrote " << path.string() << std::endl;
    }
    if (options.overlaysGl) {
        const OverlayCapture::GlDrawing gl =
            OverlayCapture::captureGl(instance, frame, options.renderScale, picture);
        if (!gl.note.empty()) {
            std::cerr << "halden-render: note: " << gl.note << "; no OpenGL overlay drawn"
                      << std::endl;
        }
        const std::filesystem::path path = absolute(*options.overlaysGl);
        ImageIo::write(gl.picture, path);
        out << "Wrote " << path.string() << std::endl;
    }
}

std::vector<std::filesystem::path> RenderCommand::run(const CliOptions& options,
                                                      std::ostream& out) const {
    // Everything a user can get wrong is checked before the plug-in is loaded.
    checkOutput(options);
    const RgbaImage full = options.input
                               ? ImageIo::read(*options.input, options.limits, options.layer)
                               : DemoScene::render(options.demoSize.first, options.demoSize.second);
    const RgbaImage source = atScale(full, options.renderScale);
    std::optional<RgbaImage> kernelMap;
    if (options.kernelMap) {
        kernelMap = atScale(ImageIo::read(*options.kernelMap, options.limits), options.renderScale);
    }
    const std::filesystem::path bundle = CommandLine::bundlePath(options, defaultBundle_);

    // The plug-in picks its device runtime once, when it is loaded.
    if (options.backend) {
        ProcessEnvironment::setVariable("HALDEN_BACKEND", *options.backend);
    }
    HostProfile profile = CommandLine::profile(options);
    if (options.deviceMemory) {
        // Device images only go with render arguments that say so.
        profile.cudaRender = true;
        profile.gpuRenderProperties = true;
    }
    PluginSession session(profile, bundle, options.context);

    ProjectSettings project;
    // The frame: a file's display window where its pixels are placed in one.
    project.size[0] = project.extent[0] =
        full.placement ? full.placement->displayMaxX - full.placement->displayMinX + 1
                       : full.width();
    project.size[1] = project.extent[1] =
        full.placement ? full.placement->displayMaxY - full.placement->displayMinY + 1
                       : full.height();
    project.firstFrame = options.firstFrame;
    project.lastFrame = options.lastFrame;
    EffectInstance& instance = session.plugin().createInstance(session.context(), project);

    std::optional<DeviceMemory> memory;
    if (options.deviceMemory) {
        memory = DeviceMemory::fromLibrary(session.bundle().library());
    }
    const ClipPixels input = makePixels(&source, boundsOf(source), memory);
    const ClipPixels output = makePixels(nullptr, boundsOf(source), memory);
    ClipPixels map;
    instance.setClipImage("Source", input.source());
    if (kernelMap) {
        kernelMap->placement.reset();
        map = makePixels(&*kernelMap, boundsOf(*kernelMap), memory);
        instance.setClipImage("KernelMap", map.source());
    }
    instance.setClipImage(kOfxImageEffectOutputClipName, output.source());
    instance.clipPreferences();
    applyEdits(options, instance);
    return renderFrames(options, session, instance, output, source.placement, out);
}

std::vector<std::filesystem::path>
RenderCommand::renderFrames(const CliOptions& options, PluginSession& session,
                            EffectInstance& instance, const ClipPixels& output,
                            const std::optional<ImagePlacement>& placement, std::ostream& out) {
    RenderArgs args;
    args.window = output.host->bounds();
    args.renderScale[0] = args.renderScale[1] = options.renderScale;
    args.cudaEnabled = options.deviceMemory;
    const OfxStatus begun =
        instance.beginSequenceRender(options.firstFrame, options.lastFrame, args);
    if (!succeeded(begun)) {
        throw HostError(begun, "the plug-in could not begin rendering (status " +
                                   std::to_string(begun) + ")" + failureDetail(session, instance));
    }
    std::vector<std::filesystem::path> written;
    // Counted in 64 bits: a range that ends at the largest int must still end.
    ProgressLine progress(std::int64_t(options.lastFrame) - options.firstFrame + 1);
    for (std::int64_t at = options.firstFrame; at <= options.lastFrame; ++at) {
        const int frame = static_cast<int>(at);
        progress.show(at - options.firstFrame + 1);
        instance.setTime(frame);
        args.time = frame;
        const OfxStatus status = instance.render(args);
        if (!succeeded(status)) {
            throw HostError(status, "rendering frame " + std::to_string(frame) +
                                        " failed (status " + std::to_string(status) + ")" +
                                        failureDetail(session, instance));
        }
        if (output.device) {
            output.device->download(*output.host);
        }
        const std::filesystem::path path =
            std::filesystem::absolute(
                FrameFileName::forFrame(options.output, frame, options.frameSequence))
                .lexically_normal();
        RgbaImage picture = toRgba(*output.host);
        picture.placement = placement;
        ImageIo::write(picture, path, options.exr);
        written.push_back(path);
        progress.clear();
        out << "Wrote " << path.string() << std::endl;
        if (frame == options.firstFrame &&
            (options.overlaysJson || options.overlayImage || options.overlaysGl)) {
            writeOverlays(options, instance, picture, frame, out);
        }
    }
    instance.endSequenceRender(options.firstFrame, options.lastFrame, args);
    return written;
}

} // namespace ofxhost
