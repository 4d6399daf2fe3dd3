#ifndef OFX_GPU_RENDER_H
#define OFX_GPU_RENDER_H

/* GPU rendering: OpenGL textures through a suite; CUDA, Metal and OpenCL through properties only.
   The plug-in sets the "...Supported" strings when described; per render the host sets at most
   one "...Enabled" to 1 (none = CPU). */

#include "ofxImageEffect.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Two names per value: the OpenGL-era one and the current one. */
#define kOfxStatGLOutOfMemory ((int)1001)
#define kOfxStatGPUOutOfMemory ((int)1001)
#define kOfxStatGLRenderFailed ((int)1002)
/* Not a memory problem: the host should retry without the GPU. */
#define kOfxStatGPURenderFailed ((int)1002)

/* Attached starts with "Ofx" but Detached with "k": both are exact. */
#define kOfxActionOpenGLContextAttached "OfxActionOpenGLContextAttached"
#define kOfxActionOpenGLContextDetached "kOfxActionOpenGLContextDetached"

/* OpenGL. "needed" (plug-in only) = cannot render without OpenGL. */
#define kOfxImageEffectPropOpenGLRenderSupported "OfxImageEffectPropOpenGLRenderSupported"
#define kOfxOpenGLPropPixelDepth "OfxOpenGLPropPixelDepth"
#define kOfxImageEffectPropOpenGLEnabled "OfxImageEffectPropOpenGLEnabled"
#define kOfxImageEffectPropOpenGLTextureIndex "OfxImageEffectPropOpenGLTextureIndex"
#define kOfxImageEffectPropOpenGLTextureTarget "OfxImageEffectPropOpenGLTextureTarget"

#define kOfxImageEffectPropCPURenderSupported "OfxImageEffectPropCPURenderSupported"

/* CUDA, Metal, OpenCL "...Supported": write only "false"/"true"; "needed" appears only in newer
   metadata. */
#define kOfxImageEffectPropCudaRenderSupported "OfxImageEffectPropCudaRenderSupported"
#define kOfxImageEffectPropCudaEnabled "OfxImageEffectPropCudaEnabled"
#define kOfxImageEffectPropCudaStreamSupported "OfxImageEffectPropCudaStreamSupported"
/* Present: enqueue on this cudaStream_t and do not wait. Absent: finish all work before
   returning. */
#define kOfxImageEffectPropCudaStream "OfxImageEffectPropCudaStream"

#define kOfxImageEffectPropMetalRenderSupported "OfxImageEffectPropMetalRenderSupported"
#define kOfxImageEffectPropMetalEnabled "OfxImageEffectPropMetalEnabled"
#define kOfxImageEffectPropMetalCommandQueue "OfxImageEffectPropMetalCommandQueue"

/* RenderSupported = buffers, Supported = images, as most sources say (one comment swaps them). */
#define kOfxImageEffectPropOpenCLRenderSupported "OfxImageEffectPropOpenCLRenderSupported"
#define kOfxImageEffectPropOpenCLSupported "OfxImageEffectPropOpenCLSupported"
/* 1 = use OpenCL for this call, as everything but one inverted comment says. */
#define kOfxImageEffectPropOpenCLEnabled "OfxImageEffectPropOpenCLEnabled"
#define kOfxImageEffectPropOpenCLCommandQueue "OfxImageEffectPropOpenCLCommandQueue"
#define kOfxImageEffectPropOpenCLImage "OfxImageEffectPropOpenCLImage"

/* The value names the image effect, unlike the macro. */
#define kOfxOpenGLRenderSuite "OfxImageEffectOpenGLRenderSuite"
#define kOfxOpenCLProgramSuite "OfxOpenCLProgramSuite"

typedef struct OfxImageEffectOpenGLRenderSuiteV1 {
    /* format: a bit depth, or NULL to let the host choose. */
    OfxStatus (*clipLoadTexture)(OfxImageClipHandle clip, OfxTime time, const char* format,
                                 const OfxRectD* region, OfxPropertySetHandle* textureHandle);
    OfxStatus (*clipFreeTexture)(OfxPropertySetHandle textureHandle);
    OfxStatus (*flushResources)(void);
} OfxImageEffectOpenGLRenderSuiteV1;

typedef struct OfxOpenCLProgramSuiteV1 {
    /* fOptional non-zero lets the host defer compiling; pResult is really a cl_program*. */
    OfxStatus (*compileProgram)(const char* pszProgramSource, int fOptional, void* pResult);
} OfxOpenCLProgramSuiteV1;

#ifdef __cplusplus
}
#endif

#endif /* OFX_GPU_RENDER_H */
