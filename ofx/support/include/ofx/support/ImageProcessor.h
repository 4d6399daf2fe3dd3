#pragma once

#include "ofx/ofxCore.h"
#include "ofx/support/ActionArguments.h"
#include "ofx/support/MultiThreadProcessor.h"

namespace OFX {

class ImageEffect;
class Image;

// Renders one window of a destination image. process() runs preProcess, then the GPU path the
// host enabled for this render (OpenCL, else CUDA, else Metal) or, with none, the CPU path:
// the window's rows are cut into bands of ceil(rows / threads) rows and each thread renders
// its band through multiThreadProcessImages; then postProcess.
class ImageProcessor : public MultiThread::Processor {
public:
    explicit ImageProcessor(ImageEffect& effect);

    void setDstImg(Image* image) { _dstImg = image; }
    // Pixel coordinates.
    void setRenderWindow(const OfxRectI& window) { _renderWindow = window; }
    // Takes the GPU flags, the CUDA stream and the OpenCL/Metal queues of a render.
    void setGPURenderArgs(const RenderArguments& args);

    virtual void preProcess() {}
    virtual void processImagesOpenCL() {}
    virtual void processImagesCUDA() {}
    virtual void processImagesMetal() {}
    // Renders window (a band of the render window) on the CPU.
    virtual void multiThreadProcessImages(const OfxRectI& window) = 0;
    virtual void postProcess() {}

    virtual void process();

    void multiThreadFunction(unsigned int threadIndex, unsigned int threadCount) override;

    // Rows of window that thread threadIndex of threadCount renders; empty (y1 == y2) when
    // there are fewer rows than threads.
    static OfxRectI bandForThread(const OfxRectI& window, unsigned int threadIndex,
                                  unsigned int threadCount);

protected:
    ImageEffect& _effect;
    Image* _dstImg = nullptr;
    OfxRectI _renderWindow{0, 0, 0, 0};
    bool _isEnabledOpenCLRender = false;
    bool _isEnabledCudaRender = false;
    bool _isEnabledMetalRender = false;
    void* _pOpenCLCmdQ = nullptr;
    void* _pCudaStream = nullptr;
    void* _pMetalCmdQ = nullptr;
};

} // namespace OFX
