// Draws the five foreground silhouettes that the lens blur uses to occlude bokeh discs and
// writes them as OpenEXR files: bright where the view is clear, dark where foliage blocks it.
// Every picture comes from a fixed seed, so running it again reproduces the committed files.
//
//   halden-silhouettes <output folder>

#include "BranchGrower.h"
#include "Canvas.h"
#include "GrassGrower.h"
#include "Random.h"
#include "SilhouetteExr.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 512;
constexpr float kPi = 3.14159265f;
// The loop stops when a recipe needs more shapes than this to reach its mean.
constexpr int kMaxShapes = 5000;

struct Recipe {
    const char* name;
    std::uint64_t seed;
    double targetMean; // mean of the finished picture
    SilhouetteFormat format;
    float blurSigma; // pixels
    // Adds the nth shape to the canvas.
    std::function<void(Random&, Canvas&, int)> addShape;
};

// A branch reaching into the picture from one of its edges: left, top, right, then top again.
void addBranchFromEdge(Random& random, Canvas& canvas, int n, const BranchStyle& style,
                       float minRadius, float maxRadius, float minLength, float maxLength) {
    static const float kInward[4] = {0.0f, 0.5f * kPi, kPi, 0.5f * kPi};
    const int edge = n % 4;
    const float along = random.uniform(0.05f, 0.95f) * kSize;
    const Vec2 starts[4] = {{-8.0f, along}, {along, -8.0f}, {kSize + 8.0f, along}, {along, -8.0f}};
    const float angle = kInward[edge] + random.uniform(-0.6f, 0.6f);
    BranchGrower grower(style, random);
    canvas.add(grower.grow(starts[edge], angle, random.uniform(minLength, maxLength),
                           random.uniform(minRadius, maxRadius)),
               1.0f);
}

void addGrassClump(Random& random, Canvas& canvas, const GrassStyle& style) {
    GrassGrower grower(style, random, static_cast<float>(kSize));
    canvas.add(grower.clump(random.uniform(-16.0f, kSize + 16.0f)), random.uniform(0.9f, 1.0f));
}

// Leafy limbs, leaves on every side branch.
BranchStyle denseBranches() {
    BranchStyle style;
    style.maxDepth = 2;
    style.childSpacing = 36.0f;
    style.leafLength = 30.0f;
    style.leafSpacing = 17.0f;
    style.leafAngle = 1.0f;
    return style;
}

// Bare, wiry limbs; small leaves on the twigs only.
BranchStyle thinBranches() {
    BranchStyle style;
    style.curl = 0.08f;
    style.tipRadius = 0.15f;
    style.childSpacing = 45.0f;
    style.childAngle = 0.55f;
    style.leafDepth = 2;
    style.leafSpacing = 30.0f;
    style.leafLength = 13.0f;
    return style;
}

GrassStyle denseGrass() {
    GrassStyle style;
    style.minHeight = 120.0f;
    style.maxHeight = 440.0f;
    style.minWidth = 5.0f;
    style.maxWidth = 12.0f;
    style.minBlades = 4;
    style.maxBlades = 8;
    return style;
}

GrassStyle shortGrass() {
    GrassStyle style;
    style.minHeight = 60.0f;
    style.maxHeight = 260.0f;
    style.minWidth = 3.0f;
    style.maxWidth = 8.0f;
    return style;
}

// Slender blades, some clumps with a seed head on a stem.
GrassStyle seedingGrass() {
    GrassStyle style;
    style.minHeight = 90.0f;
    style.maxHeight = 330.0f;
    style.minWidth = 3.0f;
    style.maxWidth = 7.0f;
    style.bend = 1.2f;
    style.seedStemChance = 0.45f;
    return style;
}

std::vector<Recipe> recipes() {
    const SilhouetteFormat halfRle{true, false};
    const SilhouetteFormat floatZip{false, true};
    return {
        {"branches_dense", 0x5EED0001, 0.59, halfRle, 1.5f,
         [style = denseBranches()](Random& r, Canvas& c, int n) {
             addBranchFromEdge(r, c, n, style, 4.0f, 8.0f, 150.0f, 300.0f);
         }},
        {"branches_thin", 0x5EED0002, 0.93, floatZip, 1.0f,
         [style = thinBranches()](Random& r, Canvas& c, int n) {
             addBranchFromEdge(r, c, n, style, 2.0f, 3.5f, 180.0f, 340.0f);
         }},
        {"grass_dense", 0x5EED0003, 0.66, halfRle, 1.5f,
         [style = denseGrass()](Random& r, Canvas& c, int) { addGrassClump(r, c, style); }},
        {"grass_sparse_1", 0x5EED0004, 0.92, halfRle, 1.2f,
         [style = shortGrass()](Random& r, Canvas& c, int) { addGrassClump(r, c, style); }},
        {"grass_sparse_2", 0x5EED0005, 0.88, halfRle, 1.2f,
         [style = seedingGrass()](Random& r, Canvas& c, int) { addGrassClump(r, c, style); }},
    };
}

bool make(const Recipe& recipe, const std::string& folder) {
    Random random(recipe.seed);
    Canvas canvas(kSize, kSize);
    int shapes = 0;
    while (canvas.meanTransmittance() > recipe.targetMean) {
        if (shapes == kMaxShapes) {
            std::fprintf(stderr, "%s: mean %.3f not reached with %d shapes\n", recipe.name,
                         recipe.targetMean, kMaxShapes);
            return false;
        }
        recipe.addShape(random, canvas, shapes++);
    }
    // The last shape overshoots the mean; lifting the darkest value lands on it exactly.
    const double t = canvas.meanTransmittance();
    const float floor = static_cast<float>((recipe.targetMean - t) / (1.0 - t));
    const std::vector<float> grey = canvas.picture(floor, recipe.blurSigma);

    double sum = 0.0;
    for (float v : grey) {
        sum += v;
    }
    const std::string path = folder + "/" + recipe.name + ".exr";
    std::string error;
    if (!writeSilhouetteExr(path, grey, kSize, kSize, recipe.format, &error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    std::printf("%-15s %4d shapes, darkest %.3f, mean %.4f -> %s\n", recipe.name, shapes, floor,
                sum / static_cast<double>(grey.size()), path.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    bool ok = true;
    for (const Recipe& recipe : recipes()) {
        ok = make(recipe, argv[1]) && ok;
    }
    return ok ? 0 : 1;
}
