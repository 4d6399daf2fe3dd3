#pragma once

// How the lens pass is cut into device launches: a launch that runs for seconds trips the
// display watchdog of a GPU that also drives a screen (about 2 s on Windows) and loses the
// device, so none takes more than a budget of samples.

#include "kernels/KernelParameters.h"

#include <vector>

namespace kernels {

// Pixels [x0, x0 + width) x [y0, y0 + height) of the frame.
struct LaunchTile {
    int x0, y0, width, height;
};

// About 50 ms on a mid-range card.
constexpr double LAUNCH_SAMPLE_BUDGET = 64.0 * 1024 * 1024;

// The most samples any pixel of a height-row frame takes with these parameters.
int maxSamplesPerPixel(int height, const AnimatedParameters& p);

// Bands of rows, cut into columns too where one row is over the budget, each within the budget
// (a block of BLOCK_SIZE x BLOCK_SIZE pixels at the least); tiles start on block boundaries and
// cover every pixel once.
std::vector<LaunchTile> launchTiles(int width, int height, int samplesPerPixel,
                                    double budget = LAUNCH_SAMPLE_BUDGET);

} // namespace kernels
