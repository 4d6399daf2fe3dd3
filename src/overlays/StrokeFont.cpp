#include "overlays/StrokeFont.h"

#include <cstring>
#include <vector>

namespace OFX {

namespace {

// Strokes of the printable ASCII characters from '!' on: digit pairs "xy" on the 4 x 6 grid,
// one polyline per space-separated group; nullptr draws the box.
const char* const kGlyphs[] = {
    "2622 2021",                           // !
    "1615 3635",                           // "
    "1016 3036 0242 0444",                 // #
    nullptr,                               // $
    "0046 0516 3041",                      // %
    nullptr,                               // &
    "2625",                                // '
    "36252130",                            // (
    "16252110",                            // )
    "1335 1533 2224",                      // *
    "1333 2224",                           // +
    "2110",                                // ,
    "1333",                                // -
    "2021",                                // .
    "0046",                                // /
    "103041453616050110 0145",             // 0
    "152620 1030",                         // 1
    "05163645440040",                      // 2
    "05163645443313 334241301001",         // 3
    "30360242",                            // 4
    "460603334241301001",                  // 5
    "4536160501103041423303",              // 6
    "064610",                              // 7
    "130405163645443313 1302011030414233", // 8
    "0110304145361605041343",              // 9
    "2122 2425",                           // :
    "2110 2425",                           // ;
    "351331",                              // <
    "1232 1434",                           // =
    "153311",                              // >
    "0516364544332322 2021",               // ?
    nullptr,                               // @
    "002640 1333",                         // A
    "00063645443303 3342413000",           // B
    "4536160501103041",                    // C
    "00063645413000",                      // D
    "46060040 0333",                       // E
    "460600 0333",                         // F
    "45361605011030414323",                // G
    "0006 4640 0343",                      // H
    "1636 2620 1030",                      // I
    "4641301001",                          // J
    "0006 4602 1340",                      // K
    "060040",                              // L
    "0006234640",                          // M
    "00064046",                            // N
    "103041453616050110",                  // O
    "00063645443303",                      // P
    "103041453616050110 2240",             // Q
    "00063645443303 2340",                 // R
    "453616050413334241301001",            // S
    "0646 2620",                           // T
    "060110304146",                        // U
    "062046",                              // V
    "0610233046",                          // W
    "0046 0640",                           // X
    "062346 2320",                         // Y
    "06464000",                            // Z
    "36262030",                            // [
    "0640",                                // backslash
    "16262010",                            // ]
    "142534",                              // ^
    "0040",                                // _
    "1625",                                // `
};

constexpr const char* kBox = "0006464000";

// The strokes of one character; small is true for the lower-case letters.
const char* glyphOf(unsigned char c, bool& small) {
    small = c >= 'a' && c <= 'z';
    if (small) {
        c = static_cast<unsigned char>(c - 'a' + 'A');
    }
    if (c == ' ') {
        return "";
    }
    if (c == '|') {
        return "2026";
    }
    if (c > ' ' && c < '!' + sizeof kGlyphs / sizeof kGlyphs[0]) {
        const char* glyph = kGlyphs[c - '!'];
        return glyph != nullptr ? glyph : kBox;
    }
    return kBox;
}

bool startsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xc0) != 0x80; // not a UTF-8 continuation byte
}

} // namespace

int StrokeFont::characterCount(const std::string& utf8) {
    int count = 0;
    for (char c : utf8) {
        count += startsCharacter(c) ? 1 : 0;
    }
    return count;
}

void StrokeFont::strokes(const std::string& utf8,
                         const std::function<void(const double* points, int count)>& stroke) {
    std::vector<double> points;
    double left = 1.0; // the 4-wide glyph centred in its 6-wide cell
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (!startsCharacter(utf8[i])) {
            continue;
        }
        bool small = false;
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const char* glyph = c < 0x80 ? glyphOf(c, small) : kBox;
        const double yScale = small ? 4.0 / 6.0 : 1.0;
        for (const char* p = glyph;;) {
            if (p[0] >= '0' && p[0] <= '9' && p[1] >= '0' && p[1] <= '9') {
                points.push_back(left + (p[0] - '0'));
                points.push_back((p[1] - '0') * yScale);
                p += 2;
                continue;
            }
            if (points.size() >= 4) {
                stroke(points.data(), static_cast<int>(points.size() / 2));
            }
            points.clear();
            if (*p == '\0') {
                break;
            }
            ++p;
        }
        left += kAdvance;
    }
}

} // namespace OFX
