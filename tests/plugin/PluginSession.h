#pragma once

#include "PluginCommand.h"

#include "host/effect/EffectInstance.h"
#include "host/effect/HostImage.h"
#include "host/plugin/Host.h"
#include "host/plugin/PluginBundle.h"

#include "ofx/ofxImageEffect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace testplugin {

// Renders source into output over the output's bounds; device: the images are device memory.
inline OfxStatus renderFrame(ofxhost::EffectInstance& instance,
                             std::shared_ptr<ofxhost::ImageSource> source,
                             std::shared_ptr<ofxhost::ImageSource> output, double time = 0.0,
                             bool device = false) {
    instance.setClipImage("Source", source);
    instance.setClipImage("Output", output);
    ofxhost::RenderArgs args;
    args.time = time;
    args.window = output->bounds();
    args.cudaEnabled = device;
    return instance.render(args);
}

// Sets space-separated name=value settings (x,y for 2D) as a user would; each must be taken.
inline void setValues(ofxhost::EffectInstance& instance, const std::string& settings) {
    std::istringstream in(settings);
    for (std::string setting; in >> setting;) {
        const std::size_t equals = setting.find('=');
        std::vector<double> value;
        std::istringstream numbers(setting.substr(equals + 1));
        for (std::string number; std::getline(numbers, number, ',');) {
            value.push_back(std::stod(number));
        }
        const std::string name = setting.substr(0, equals);
        EXPECT_EQ(instance.setValue(name, ofxhost::ParamValue::of(value)), kOfxStatOK) << name;
    }
}

// What a choice parameter lists now.
inline std::vector<std::string> choiceOptions(ofxhost::EffectInstance& instance,
                                              const std::string& choice) {
    return instance.param(choice).properties().getStrings(kOfxParamPropChoiceOption);
}

inline std::shared_ptr<ofxhost::HostImage> randomImage(const OfxRectI& bounds, unsigned seed) {
    auto image = std::make_shared<ofxhost::HostImage>(bounds);
    std::mt19937 random(seed);
    for (int y = bounds.y1; y < bounds.y2; ++y) {
        for (int x = bounds.x1; x < bounds.x2; ++x) {
            float* p = image->pixel(x, y);
            for (int c = 0; c < 4; ++c) {
                p[c] = float(random() % 1000) / 250.0f;
            }
        }
    }
    return image;
}

// A single bright point on an opaque grey background.
inline std::shared_ptr<ofxhost::HostImage> pointImage(const OfxRectI& bounds, int x, int y,
                                                      float value, float background = 0.0f,
                                                      int rowPaddingBytes = 0) {
    auto image = std::make_shared<ofxhost::HostImage>(bounds, rowPaddingBytes);
    image->fill(background, background, background, 1);
    float* p = image->pixel(x, y);
    p[0] = p[1] = p[2] = value;
    return image;
}

// Every float of the image, row by row.
inline std::vector<float> pixels(const ofxhost::HostImage& image) {
    std::vector<float> all;
    const OfxRectI b = image.bounds();
    for (int y = b.y1; y < b.y2; ++y) {
        const float* row = image.pixel(b.x1, y);
        all.insert(all.end(), row, row + 4 * (b.x2 - b.x1));
    }
    return all;
}

// Sum of the absolute colour differences over a's bounds.
inline double difference(const ofxhost::HostImage& a, const ofxhost::HostImage& b) {
    double sum = 0;
    const OfxRectI r = a.bounds();
    for (int y = r.y1; y < r.y2; ++y) {
        for (int x = r.x1; x < r.x2; ++x) {
            for (int c = 0; c < 3; ++c) {
                sum += std::fabs(a.pixel(x, y)[c] - b.pixel(x, y)[c]);
            }
        }
    }
    return sum;
}

// The real bundle loaded through the headless host, with an instance in the filter context.
struct PluginSession {
    explicit PluginSession(const std::string& hostName = "resolve",
                           const std::string& bundleName = "halden_v01", bool isolate = true)
        : ownUser(isolate ? std::make_unique<IsolatedUser>() : nullptr),
          host(ofxhost::HostProfile::forName(hostName)), bundle(host, bundlePath(bundleName)),
          plugin(bundle.plugin(0)), instance(plugin.createInstance(kOfxImageEffectContextFilter)) {}

    // Renders source (and an output of the same bounds) at a time; returns the status.
    OfxStatus render(std::shared_ptr<ofxhost::ImageSource> source,
                     std::shared_ptr<ofxhost::ImageSource> output, double time = 0.0,
                     bool device = false) {
        return renderFrame(instance, source, output, time, device);
    }

    // Folders for the log and presets; a test that reads the log after the session ends keeps
    // an IsolatedUser of its own alive instead (the plug-in flushes its log on unload).
    std::unique_ptr<IsolatedUser> ownUser;
    ofxhost::Host host;
    ofxhost::PluginBundle bundle;
    ofxhost::Plugin& plugin;
    ofxhost::EffectInstance& instance;
};

// The CPU backend's test hooks, exported by the plug-in binary (the counts are -1 on CUDA).
struct Emulation {
    explicit Emulation(const PluginSession& s)
        : inject(reinterpret_cast<int (*)(int, int, int)>(
              s.bundle.library().symbol("haldenEmuInjectFailure"))),
          live(
              reinterpret_cast<long long (*)()>(s.bundle.library().symbol("haldenEmuLiveObjects"))),
          allocations(
              reinterpret_cast<long long (*)()>(s.bundle.library().symbol("haldenEmuAllocations"))),
          setDevice(
              reinterpret_cast<int (*)(int)>(s.bundle.library().symbol("haldenEmuSetDevice"))) {}
    int (*inject)(int, int, int);
    long long (*live)();
    long long (*allocations)();
    int (*setDevice)(int);
};

} // namespace testplugin
