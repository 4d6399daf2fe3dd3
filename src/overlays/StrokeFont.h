#pragma once

#include <functional>
#include <string>

namespace OFX {

// A small line font for overlay labels where no text drawing is offered (OpenGL viewers):
// every character is a few strokes on a grid 4 pixels wide and 6 tall (capitals; lower case
// are small capitals 4 tall), advancing 6 pixels. Characters it has no strokes for, and each
// non-ASCII character, are an outlined box.
class StrokeFont {
public:
    static constexpr double kAdvance = 6.0;
    static constexpr double kCapHeight = 6.0;

    // Calls stroke with each polyline of the text, as pixel offsets from the left end of the
    // baseline: (x, y) pairs in points, count of them.
    static void strokes(const std::string& utf8,
                        const std::function<void(const double* points, int count)>& stroke);
    // Characters in UTF-8 text: the advance is per character, whatever its bytes.
    static int characterCount(const std::string& utf8);
};

} // namespace OFX
