#include "host/cli/OverlayPainter.h"

#include "ofx/ofxDrawSuite.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ofxhost {

namespace {

using Point = CoverageMask::Point;

constexpr double kPi = 3.14159265358979323846;

// 16 pixels of each pattern, the first pixel in the low bit.
std::uint16_t stippleBits(int pattern) {
    switch (pattern) {
    case kOfxDrawLineStipplePatternDot:
        return 0x3333;
    case kOfxDrawLineStipplePatternDash:
        return 0x00ff;
    case kOfxDrawLineStipplePatternAltDash:
        return 0xff00;
    case kOfxDrawLineStipplePatternDotDash:
        return 0x0c3f;
    default:
        return 0xffff;
    }
}

// As the 8-bit writer reads a sample: NaN and below 0 are 0.
float displayed(float value) {
    return value > 0.0f ? std::min(value, 1.0f) : 0.0f;
}

std::size_t characterCount(const std::string& utf8) {
    // Every byte but the continuation bytes (10xxxxxx) starts a character.
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
    }));
}

} // namespace

OverlayPainter::OverlayPainter(RgbaImage& picture, double scale)
    : picture_(picture), scale_(scale) {
    float* sample = picture_.data();
    const std::size_t count = std::size_t(picture_.width()) * picture_.height() * 4;
    for (std::size_t i = 0; i < count; ++i) {
        sample[i] = displayed(sample[i]);
    }
}

CoverageMask::Point OverlayPainter::toPixels(const OfxPointD& point) const {
    return {point.x * scale_, point.y * scale_};
}

void OverlayPainter::paint(const std::vector<DrawCall>& calls) {
    for (const DrawCall& call : calls) {
        paintOne(call);
    }
}

void OverlayPainter::paintOne(const DrawCall& call) {
    CoverageMask mask(picture_.width(), picture_.height());
    if (call.kind == DrawCall::Kind::Draw) {
        primitive(call, mask);
    } else if (call.kind == DrawCall::Kind::DrawText) {
        text(call, mask);
    }
    blend(mask, call.colour);
}

void OverlayPainter::primitive(const DrawCall& call, CoverageMask& mask) const {
    std::vector<Point> points;
    for (const OfxPointD& point : call.points) {
        points.push_back(toPixels(point));
    }
    // Line widths are screen pixels, whatever the scale; 0 is a one-pixel line.
    const double width = call.width;
    const std::uint16_t stipple = stippleBits(call.stipple);
    double phase = 0.0;
    auto strip = [&](bool closed) {
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            mask.line(points[i], points[i + 1], width, stipple, phase);
        }
        if (closed && points.size() > 2) {
            mask.line(points.back(), points.front(), width, stipple, phase);
        }
    };
    switch (call.primitive) {
    case kOfxDrawPrimitiveLines:
        for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
            phase = 0.0;
            mask.line(points[i], points[i + 1], width, stipple, phase);
        }
        break;
    case kOfxDrawPrimitiveLineStrip:
        strip(false);
        break;
    case kOfxDrawPrimitiveLineLoop:
        strip(true);
        break;
    case kOfxDrawPrimitiveRectangle:
        if (points.size() == 2) {
            mask.box(points[0], points[1]);
        }
        break;
    case kOfxDrawPrimitivePolygon:
        mask.polygon(points);
        break;
    case kOfxDrawPrimitiveEllipse: {
        if (points.size() != 2) {
            break;
        }
        // The ellipse inside the box of the two corners, a segment every 3 pixels or so.
        const Point centre{(points[0].x + points[1].x) / 2.0, (points[0].y + points[1].y) / 2.0};
        const double rx = std::abs(points[1].x - points[0].x) / 2.0;
        const double ry = std::abs(points[1].y - points[0].y) / 2.0;
        if (!std::isfinite(rx + ry)) {
            break;
        }
        const int segments =
            static_cast<int>(std::clamp(std::ceil(kPi * (rx + ry) / 3.0), 16.0, 720.0));
        points.clear();
        for (int i = 0; i < segments; ++i) {
            const double angle = 2.0 * kPi * i / segments;
            points.push_back({centre.x + rx * std::cos(angle), centre.y + ry * std::sin(angle)});
        }
        strip(true);
        break;
    }
    default:
        break;
    }
}

void OverlayPainter::text(const DrawCall& call, CoverageMask& mask) const {
    const std::size_t characters = characterCount(call.text);
    if (characters == 0 || call.points.empty()) {
        return;
    }
    const Point at = toPixels(call.points.front());
    // Text is screen-sized: its box does not scale with the picture.
    const double width = kCharacterWidth * static_cast<double>(characters);
    const int align = call.alignment;
    const bool left = (align & kOfxDrawTextAlignmentLeft) != 0;
    const bool right = (align & kOfxDrawTextAlignmentRight) != 0;
    const bool top = (align & kOfxDrawTextAlignmentTop) != 0;
    const bool bottom = (align & kOfxDrawTextAlignmentBottom) != 0;
    const bool baseline = (align & kOfxDrawTextAlignmentBaseline) != 0;

    double x0 = at.x; // left aligned, also when no flag is given
    if (left && right) {
        x0 = at.x - width / 2.0;
    } else if (right) {
        x0 = at.x - width;
    }
    double y0 = at.y - kDescent; // on the baseline, also when no flag is given
    if (top && (bottom || baseline)) {
        y0 = at.y - kLineHeight / 2.0;
    } else if (top) {
        y0 = at.y - kLineHeight;
    } else if (bottom) {
        y0 = at.y;
    }
    mask.box({x0, y0}, {x0 + width, y0 + kLineHeight});
}

void OverlayPainter::blend(const CoverageMask& mask, const OfxRGBAColourF& colour) {
    if (mask.empty()) {
        return;
    }
    const float alpha = displayed(colour.a);
    const float rgb[3] = {displayed(colour.r), displayed(colour.g), displayed(colour.b)};
    for (int y = mask.bottom(); y <= mask.top(); ++y) {
        for (int x = mask.left(); x <= mask.right(); ++x) {
            if (!mask.covered(x, y)) {
                continue;
            }
            float* p = picture_.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                p[c] = rgb[c] * alpha + p[c] * (1.0f - alpha);
            }
            p[3] = alpha + p[3] * (1.0f - alpha);
        }
    }
}

} // namespace ofxhost
