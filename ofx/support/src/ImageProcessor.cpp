#include "ofx/support/ImageProcessor.h"

#include "ofx/support/Image.h"
#include "ofx/support/ImageEffect.h"

#include <algorithm>

namespace OFX {

namespace {

bool isEmpty(const OfxRectI& rect) {
    return rect.x2 <= rect.x1 || rect.y2 <= rect.y1;
}

bool contains(const OfxRectI& outer, const OfxRectI& inner) {
    return inner.x1 >= outer.x1 && inner.y1 >= outer.y1 && inner.x2 <= outer.x2 &&
           inner.y2 <= outer.y2;
}

} // namespace

ImageProcessor::ImageProcessor(ImageEffect& effect) : _effect(effect) {}

void ImageProcessor::setGPURenderArgs(const RenderArguments& args) {
    _isEnabledOpenCLRender = args.isEnabledOpenCLRender;
    _isEnabledCudaRender = args.isEnabledCudaRender;
    _isEnabledMetalRender = args.isEnabledMetalRender;
    _pOpenCLCmdQ = args.pOpenCLCmdQ;
    _pCudaStream = args.pCudaStream;
    _pMetalCmdQ = args.pMetalCmdQ;
}

void ImageProcessor::process() {
    // Nothing to do, or a window the destination cannot hold: writing it would overrun.
    if (_dstImg != nullptr &&
        (isEmpty(_renderWindow) || !contains(_dstImg->getBounds(), _renderWindow))) {
        return;
    }
    preProcess();
    if (_isEnabledOpenCLRender) {
        processImagesOpenCL();
    } else if (_isEnabledCudaRender) {
        processImagesCUDA();
    } else if (_isEnabledMetalRender) {
        processImagesMetal();
    } else if (!isEmpty(_renderWindow)) {
        const unsigned int rows = static_cast<unsigned int>(_renderWindow.y2 - _renderWindow.y1);
        multiThread(std::max(1u, std::min(MultiThread::getNumCPUs(), rows)));
    }
    postProcess();
}

void ImageProcessor::multiThreadFunction(unsigned int threadIndex, unsigned int threadCount) {
    const OfxRectI band = bandForThread(_renderWindow, threadIndex, threadCount);
    if (band.y2 > band.y1) {
        multiThreadProcessImages(band);
    }
}

OfxRectI ImageProcessor::bandForThread(const OfxRectI& window, unsigned int threadIndex,
                                       unsigned int threadCount) {
    OfxRectI band = window;
    const long long rows = std::max(0, window.y2 - window.y1);
    const long long threads = std::max(1u, threadCount);
    const long long bandRows = (rows + threads - 1) / threads;
    const long long first = std::min(rows, bandRows * threadIndex);
    const long long last = std::min(rows, first + bandRows);
    band.y1 = window.y1 + static_cast<int>(first);
    band.y2 = window.y1 + static_cast<int>(last);
    return band;
}

} // namespace OFX
