#pragma once

#include "overlays/OverlayCanvas.h"
#include "overlays/OverlayParams.h"

#include "ofx/support/InteractArgs.h"

#include <map>
#include <string>
#include <vector>

namespace overlaytest {

// A draw or text call with the colour and line width in force.
struct CanvasCall {
    int primitive = -1; // -1 for text
    std::vector<OfxPointD> points;
    std::string text;
    int alignment = 0;
    OfxRGBAColourF colour{1.0f, 1.0f, 1.0f, 1.0f};
    float width = 0.0f;
};

class RecordingCanvas : public OFX::OverlayCanvas {
public:
    bool isAvailable() const override { return available; }
    void setColour(const OfxRGBAColourF& c) override { colour_ = c; }
    void setLineWidth(float width) override { width_ = width; }
    void setLineStipple(OfxDrawLineStipplePattern) override {}
    void draw(OfxDrawPrimitive primitive, const std::vector<OfxPointD>& points) override {
        calls.push_back({primitive, points, "", 0, colour_, width_});
    }
    void drawText(const std::string& text, const OfxPointD& at, int alignment) override {
        calls.push_back({-1, {at}, text, alignment, colour_, width_});
    }

    std::vector<CanvasCall> shapes(int primitive) const {
        std::vector<CanvasCall> found;
        for (const CanvasCall& call : calls) {
            if (call.primitive == primitive) {
                found.push_back(call);
            }
        }
        return found;
    }
    // Half the width of each ellipse's box: a circle's radius in canonical units.
    std::vector<double> circleRadii() const {
        std::vector<double> radii;
        for (const CanvasCall& call : shapes(kOfxDrawPrimitiveEllipse)) {
            radii.push_back((call.points[1].x - call.points[0].x) / 2.0);
        }
        return radii;
    }

    bool available = true;
    std::vector<CanvasCall> calls;

private:
    OfxRGBAColourF colour_{1.0f, 1.0f, 1.0f, 1.0f};
    float width_ = 0.0f;
};

// An effect's parameters in memory (values do not vary in time); edit blocks are listed as
// they open, and writes are counted by whether a block was open.
class FakeOverlayParams : public OFX::OverlayParams {
public:
    std::optional<OfxPointD> getDouble2D(const std::string& n, OfxTime) override {
        return find(double2D, n);
    }
    std::optional<double> getDouble(const std::string& n, OfxTime) override {
        return find(doubles, n);
    }
    std::optional<int> getChoice(const std::string& n, OfxTime) override {
        return find(choices, n);
    }
    std::optional<int> getInt(const std::string& n, OfxTime) override { return find(ints, n); }
    std::optional<bool> getBoolean(const std::string& n, OfxTime) override {
        return find(booleans, n);
    }
    bool setDouble2D(const std::string& n, double x, double y) override {
        return double2D.count(n) != 0 && (double2D[n] = OfxPointD{x, y}, wrote());
    }
    bool setDouble(const std::string& n, double v) override {
        return doubles.count(n) != 0 && (doubles[n] = v, wrote());
    }
    void beginEditBlock(const std::string& label) override {
        editBlocks.push_back(label);
        ++openBlocks;
    }
    void endEditBlock() override { --openBlocks; }
    std::optional<OfxRectD> sourceRegion(OfxTime) override { return source; }
    double sourcePixelAspect() override { return pixelAspect; }

    std::map<std::string, OfxPointD> double2D;
    std::map<std::string, double> doubles;
    std::map<std::string, int> choices;
    std::map<std::string, int> ints;
    std::map<std::string, bool> booleans;
    std::optional<OfxRectD> source;
    double pixelAspect = 1.0;
    std::vector<std::string> editBlocks;
    int openBlocks = 0;
    int writesInBlock = 0, writesOutsideBlock = 0;

private:
    bool wrote() { return ++(openBlocks > 0 ? writesInBlock : writesOutsideBlock) > 0; }

    template <class T>
    static std::optional<T> find(const std::map<std::string, T>& values, const std::string& n) {
        const auto found = values.find(n);
        return found != values.end() ? std::optional<T>(found->second) : std::nullopt;
    }
};

inline OFX::PenArgs penAt(double x, double y) {
    OFX::PenArgs args;
    args.penPosition = OfxPointD{x, y};
    return args;
}

// pixelScale: canonical units per screen pixel.
inline OFX::DrawArgs drawArgs(double pixelScale = 1.0) {
    OFX::DrawArgs args;
    args.pixelScale = OfxPointD{pixelScale, pixelScale};
    return args;
}

} // namespace overlaytest
