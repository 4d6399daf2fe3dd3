#include "kernels/LaunchTiles.h"

#include "kernels/LensBlurKernel.h"

#include <algorithm>
#include <cmath>

namespace kernels {

int maxSamplesPerPixel(int height, const AnimatedParameters& p) {
    // sampleCount is max(lo, min(hi, n)): the larger of its bounds holds for any radius.
    float lo, hi;
    sampleBounds(height, p, lo, hi);
    return std::max(1, static_cast<int>(std::fmax(lo, hi) + 0.5f));
}

std::vector<LaunchTile> launchTiles(int width, int height, int samplesPerPixel, double budget) {
    std::vector<LaunchTile> tiles;
    if (width <= 0 || height <= 0) {
        return tiles;
    }
    const double perPixel = std::max(1, samplesPerPixel);
    // Whole block rows while one fits, else block columns of one block row.
    const double pixels = std::max(budget / perPixel, double(BLOCK_SIZE * BLOCK_SIZE));
    const double blockRowPixels = double(gridSize(width)) * BLOCK_SIZE * BLOCK_SIZE;
    int rows = height, columns = width;
    if (blockRowPixels <= pixels) {
        rows = BLOCK_SIZE * static_cast<int>(std::min(double(gridSize(height)),
                                                      std::floor(pixels / blockRowPixels)));
    } else {
        rows = BLOCK_SIZE;
        columns = BLOCK_SIZE * static_cast<int>(std::floor(pixels / (BLOCK_SIZE * BLOCK_SIZE)));
    }
    for (int y = 0; y < height; y += rows) {
        for (int x = 0; x < width; x += columns) {
            tiles.push_back({x, y, std::min(columns, width - x), std::min(rows, height - y)});
        }
    }
    return tiles;
}

} // namespace kernels
