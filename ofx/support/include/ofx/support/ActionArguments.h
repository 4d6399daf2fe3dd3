#pragma once

#include "ofx/ofxCore.h"
#include "ofx/support/Enums.h"

#include <string>

namespace OFX {

// The arguments of the effect actions, read from the host's inArgs. A property the host leaves
// out keeps the default below (GPU flags off, no queues, render scale 1).

enum InstanceChangeReason {
    eChangeUserEdit,   // the user or the host (undo, reset, project load)
    eChangePluginEdit, // the plug-in itself
    eChangeTime,       // the time changed
};

// GPU part shared by render and the sequence-render brackets.
struct GPURenderArguments {
    bool isEnabledOpenGLRender = false;
    bool isEnabledCudaRender = false;
    bool isEnabledOpenCLRender = false;
    bool isEnabledMetalRender = false;
    void* pCudaStream = nullptr; // a cudaStream_t: enqueue on it, do not wait
    void* pOpenCLCmdQ = nullptr;
    void* pMetalCmdQ = nullptr;

    void read(OfxPropertySetHandle inArgs);
};

struct RenderArguments : GPURenderArguments {
    OfxTime time = 0.0;
    OfxPointD renderScale{1.0, 1.0};
    OfxRectI renderWindow{0, 0, 0, 0}; // pixel coordinates
    FieldEnum fieldToRender = eFieldNone;
    bool sequentialRenderStatus = false;
    bool interactiveRenderStatus = false;
    bool renderQualityDraft = false;
    bool noSpatialAwareness = false;
    bool thumbnailRender = false;

    static RenderArguments read(OfxPropertySetHandle inArgs);
};

struct IsIdentityArguments {
    OfxTime time = 0.0;
    OfxPointD renderScale{1.0, 1.0};
    OfxRectI renderWindow{0, 0, 0, 0};
    FieldEnum fieldToRender = eFieldNone;

    static IsIdentityArguments read(OfxPropertySetHandle inArgs);
};

struct SequenceRenderArguments : GPURenderArguments {
    OfxRangeD frameRange{0.0, 0.0}; // inclusive
    double frameStep = 1.0;
    bool isInteractive = false;
    OfxPointD renderScale{1.0, 1.0};
    bool sequentialRenderStatus = false;
    bool interactiveRenderStatus = false;

    static SequenceRenderArguments read(OfxPropertySetHandle inArgs);
};
using BeginSequenceRenderArguments = SequenceRenderArguments;
using EndSequenceRenderArguments = SequenceRenderArguments;

struct InstanceChangedArgs {
    InstanceChangeReason reason = eChangeUserEdit;
    OfxTime time = 0.0;
    OfxPointD renderScale{1.0, 1.0};

    static InstanceChangedArgs read(OfxPropertySetHandle inArgs);
};

struct RegionOfDefinitionArguments {
    OfxTime time = 0.0;
    OfxPointD renderScale{1.0, 1.0};

    static RegionOfDefinitionArguments read(OfxPropertySetHandle inArgs);
};

struct RegionsOfInterestArguments {
    OfxTime time = 0.0;
    OfxPointD renderScale{1.0, 1.0};
    OfxRectD regionOfInterest{0.0, 0.0, 0.0, 0.0}; // canonical coordinates

    static RegionsOfInterestArguments read(OfxPropertySetHandle inArgs);
};

struct FramesNeededArguments {
    OfxTime time = 0.0;

    static FramesNeededArguments read(OfxPropertySetHandle inArgs);
};

InstanceChangeReason mapStringToInstanceChangeReason(const std::string& text);

} // namespace OFX
