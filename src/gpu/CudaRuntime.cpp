#include "gpu/CudaRuntime.h"

#include <cuda_runtime.h>

#include <cstring>

namespace gpu {

// The enumerations are passed through by value, so they must keep CUDA's numbers.
static_assert(static_cast<int>(Error::InvalidValue) == cudaErrorInvalidValue);
static_assert(static_cast<int>(Error::MemoryAllocation) == cudaErrorMemoryAllocation);
static_assert(static_cast<int>(Error::InitializationError) == cudaErrorInitializationError);
static_assert(static_cast<int>(Error::InvalidPitchValue) == cudaErrorInvalidPitchValue);
static_assert(static_cast<int>(Error::InvalidDevicePointer) == cudaErrorInvalidDevicePointer);
static_assert(static_cast<int>(Error::InvalidTexture) == cudaErrorInvalidTexture);
static_assert(static_cast<int>(Error::InvalidChannelDescriptor) ==
              cudaErrorInvalidChannelDescriptor);
static_assert(static_cast<int>(Error::InvalidMemcpyDirection) == cudaErrorInvalidMemcpyDirection);
static_assert(static_cast<int>(Error::InsufficientDriver) == cudaErrorInsufficientDriver);
static_assert(static_cast<int>(Error::NoDevice) == cudaErrorNoDevice);
static_assert(static_cast<int>(Error::InvalidResourceHandle) == cudaErrorInvalidResourceHandle);
static_assert(static_cast<int>(Error::IllegalAddress) == cudaErrorIllegalAddress);
static_assert(static_cast<int>(Error::LaunchFailure) == cudaErrorLaunchFailure);
static_assert(static_cast<int>(Error::NotSupported) == cudaErrorNotSupported);
static_assert(static_cast<int>(Error::Unknown) == cudaErrorUnknown);
static_assert(static_cast<int>(MemcpyKind::HostToHost) == cudaMemcpyHostToHost);
static_assert(static_cast<int>(MemcpyKind::HostToDevice) == cudaMemcpyHostToDevice);
static_assert(static_cast<int>(MemcpyKind::DeviceToHost) == cudaMemcpyDeviceToHost);
static_assert(static_cast<int>(MemcpyKind::DeviceToDevice) == cudaMemcpyDeviceToDevice);
static_assert(static_cast<int>(MemcpyKind::Default) == cudaMemcpyDefault);
static_assert(static_cast<int>(MemoryType::Unregistered) == cudaMemoryTypeUnregistered);
static_assert(static_cast<int>(MemoryType::Host) == cudaMemoryTypeHost);
static_assert(static_cast<int>(MemoryType::Device) == cudaMemoryTypeDevice);
static_assert(static_cast<int>(MemoryType::Managed) == cudaMemoryTypeManaged);
static_assert(static_cast<int>(AddressMode::Wrap) == cudaAddressModeWrap);
static_assert(static_cast<int>(AddressMode::Clamp) == cudaAddressModeClamp);
static_assert(static_cast<int>(AddressMode::Mirror) == cudaAddressModeMirror);
static_assert(static_cast<int>(AddressMode::Border) == cudaAddressModeBorder);
static_assert(static_cast<int>(FilterMode::Point) == cudaFilterModePoint);
static_assert(static_cast<int>(FilterMode::Linear) == cudaFilterModeLinear);
static_assert(static_cast<int>(ReadMode::ElementType) == cudaReadModeElementType);
static_assert(static_cast<int>(ReadMode::NormalizedFloat) == cudaReadModeNormalizedFloat);
static_assert(kArraySurfaceLoadStore == cudaArraySurfaceLoadStore);
static_assert(sizeof(ArrayHandle) >= sizeof(cudaArray_t) &&
              sizeof(StreamHandle) >= sizeof(cudaStream_t) &&
              sizeof(TextureObject) == sizeof(cudaTextureObject_t) &&
              sizeof(SurfaceObject) == sizeof(cudaSurfaceObject_t));

namespace {

Error toError(cudaError_t error) {
    return static_cast<Error>(error);
}
cudaMemcpyKind toKind(MemcpyKind kind) {
    return static_cast<cudaMemcpyKind>(kind);
}
cudaArray_t toArray(ArrayHandle array) {
    return reinterpret_cast<cudaArray_t>(array);
}
cudaStream_t toStream(StreamHandle stream) {
    return reinterpret_cast<cudaStream_t>(stream);
}

cudaChannelFormatDesc float4Channels() {
    return cudaCreateChannelDesc(32, 32, 32, 32, cudaChannelFormatKindFloat);
}

} // namespace

bool CudaRuntime::deviceAvailable() {
    int count = 0;
    const cudaError_t error = cudaGetDeviceCount(&count);
    if (error != cudaSuccess) {
        cudaGetLastError();
        return false;
    }
    return count > 0;
}

Error CudaRuntime::malloc(void** devPtr, std::size_t size) {
    return toError(cudaMalloc(devPtr, size));
}

Error CudaRuntime::free(void* devPtr) {
    return toError(cudaFree(devPtr));
}

Error CudaRuntime::memset(void* devPtr, int value, std::size_t count) {
    return toError(cudaMemset(devPtr, value, count));
}

Error CudaRuntime::mallocArray(ArrayHandle* array, std::size_t width, std::size_t height,
                               unsigned flags) {
    const cudaChannelFormatDesc channels = float4Channels();
    cudaArray_t made = nullptr;
    const cudaError_t error =
        cudaMallocArray(array != nullptr ? &made : nullptr, &channels, width, height, flags);
    if (array != nullptr) {
        *array = error == cudaSuccess ? reinterpret_cast<ArrayHandle>(made) : 0;
    }
    return toError(error);
}

Error CudaRuntime::freeArray(ArrayHandle array) {
    return toError(cudaFreeArray(toArray(array)));
}

Error CudaRuntime::createTextureObject(TextureObject* texture, const ResourceDesc& resource,
                                       const TextureDesc& desc) {
    cudaResourceDesc res;
    std::memset(&res, 0, sizeof(res));
    if (resource.type == ResourceDesc::Type::Array) {
        res.resType = cudaResourceTypeArray;
        res.res.array.array = toArray(resource.array);
    } else {
        res.resType = cudaResourceTypePitch2D;
        res.res.pitch2D.devPtr = resource.devPtr;
        res.res.pitch2D.desc = float4Channels();
        res.res.pitch2D.width = resource.width;
        res.res.pitch2D.height = resource.height;
        res.res.pitch2D.pitchInBytes = resource.pitchInBytes;
    }
    cudaTextureDesc tex;
    std::memset(&tex, 0, sizeof(tex));
    for (int axis = 0; axis < 3; ++axis) {
        tex.addressMode[axis] = static_cast<cudaTextureAddressMode>(desc.addressMode[axis]);
    }
    tex.filterMode = static_cast<cudaTextureFilterMode>(desc.filterMode);
    tex.readMode = static_cast<cudaTextureReadMode>(desc.readMode);
    tex.sRGB = desc.sRGB ? 1 : 0;
    for (int channel = 0; channel < 4; ++channel) {
        tex.borderColor[channel] = desc.borderColor[channel];
    }
    tex.normalizedCoords = desc.normalizedCoords ? 1 : 0;

    cudaTextureObject_t made = 0;
    const cudaError_t error =
        cudaCreateTextureObject(texture != nullptr ? &made : nullptr, &res, &tex, nullptr);
    if (texture != nullptr) {
        *texture = error == cudaSuccess ? made : 0;
    }
    return toError(error);
}

Error CudaRuntime::destroyTextureObject(TextureObject texture) {
    return toError(cudaDestroyTextureObject(texture));
}

Error CudaRuntime::createSurfaceObject(SurfaceObject* surface, ArrayHandle array) {
    cudaResourceDesc res;
    std::memset(&res, 0, sizeof(res));
    res.resType = cudaResourceTypeArray;
    res.res.array.array = toArray(array);
    cudaSurfaceObject_t made = 0;
    const cudaError_t error = cudaCreateSurfaceObject(surface != nullptr ? &made : nullptr, &res);
    if (surface != nullptr) {
        *surface = error == cudaSuccess ? made : 0;
    }
    return toError(error);
}

Error CudaRuntime::destroySurfaceObject(SurfaceObject surface) {
    return toError(cudaDestroySurfaceObject(surface));
}

Error CudaRuntime::memcpy2DToArray(ArrayHandle dst, std::size_t wOffset, std::size_t hOffset,
                                   const void* src, std::size_t spitch, std::size_t width,
                                   std::size_t height, MemcpyKind kind) {
    return toError(cudaMemcpy2DToArray(toArray(dst), wOffset, hOffset, src, spitch, width, height,
                                       toKind(kind)));
}

Error CudaRuntime::memcpy2DToArrayAsync(ArrayHandle dst, std::size_t wOffset, std::size_t hOffset,
                                        const void* src, std::size_t spitch, std::size_t width,
                                        std::size_t height, MemcpyKind kind, StreamHandle stream) {
    return toError(cudaMemcpy2DToArrayAsync(toArray(dst), wOffset, hOffset, src, spitch, width,
                                            height, toKind(kind), toStream(stream)));
}

Error CudaRuntime::memcpy2DFromArrayAsync(void* dst, std::size_t dpitch, ArrayHandle src,
                                          std::size_t wOffset, std::size_t hOffset,
                                          std::size_t width, std::size_t height, MemcpyKind kind,
                                          StreamHandle stream) {
    return toError(cudaMemcpy2DFromArrayAsync(dst, dpitch, toArray(src), wOffset, hOffset, width,
                                              height, toKind(kind), toStream(stream)));
}

Error CudaRuntime::memcpyAsync(void* dst, const void* src, std::size_t count, MemcpyKind kind,
                               StreamHandle stream) {
    return toError(cudaMemcpyAsync(dst, src, count, toKind(kind), toStream(stream)));
}

Error CudaRuntime::memcpy2DAsync(void* dst, std::size_t dpitch, const void* src, std::size_t spitch,
                                 std::size_t width, std::size_t height, MemcpyKind kind,
                                 StreamHandle stream) {
    return toError(
        cudaMemcpy2DAsync(dst, dpitch, src, spitch, width, height, toKind(kind), toStream(stream)));
}

Error CudaRuntime::pointerGetAttributes(MemoryType* type, const void* ptr) {
    cudaPointerAttributes attributes;
    std::memset(&attributes, 0, sizeof(attributes));
    const cudaError_t error =
        cudaPointerGetAttributes(type != nullptr ? &attributes : nullptr, ptr);
    if (type != nullptr && error == cudaSuccess) {
        *type = static_cast<MemoryType>(attributes.type);
    }
    return toError(error);
}

Error CudaRuntime::streamCreate(StreamHandle* stream) {
    if (stream == nullptr) {
        return toError(cudaErrorInvalidValue);
    }
    cudaStream_t made = nullptr;
    const cudaError_t error = cudaStreamCreateWithFlags(&made, cudaStreamNonBlocking);
    *stream = error == cudaSuccess ? reinterpret_cast<StreamHandle>(made) : 0;
    return toError(error);
}

Error CudaRuntime::streamDestroy(StreamHandle stream) {
    return toError(cudaStreamDestroy(toStream(stream)));
}

Error CudaRuntime::streamWaitFor(StreamHandle stream, StreamHandle after) {
    cudaEvent_t event = nullptr;
    cudaError_t error = cudaEventCreateWithFlags(&event, cudaEventDisableTiming);
    if (error == cudaSuccess) {
        error = cudaEventRecord(event, toStream(after));
        if (error == cudaSuccess) {
            error = cudaStreamWaitEvent(toStream(stream), event, 0);
        }
        // Destroying a recorded event is safe: the wait holds on to it.
        cudaEventDestroy(event);
    }
    return toError(error);
}

Error CudaRuntime::streamSynchronize(StreamHandle stream) {
    return toError(cudaStreamSynchronize(toStream(stream)));
}

Error CudaRuntime::getDevice(int* device) {
    return toError(cudaGetDevice(device));
}

Error CudaRuntime::setDevice(int device) {
    return toError(cudaSetDevice(device));
}

DeviceInfo CudaRuntime::deviceInfo() {
    DeviceInfo info;
    int device = 0;
    cudaDeviceProp properties{};
    if (cudaGetDevice(&device) == cudaSuccess &&
        cudaGetDeviceProperties(&properties, device) == cudaSuccess) {
        info.name = properties.name;
        info.multiprocessors = properties.multiProcessorCount;
        cudaDeviceGetAttribute(&info.clockKHz, cudaDevAttrClockRate, device);
    }
    cudaGetLastError();
    return info;
}

Error CudaRuntime::memGetInfo(std::size_t* free, std::size_t* total) {
    return toError(cudaMemGetInfo(free, total));
}

std::size_t CudaRuntime::texturePitchAlignment() {
    int device = 0;
    int alignment = 0;
    if (cudaGetDevice(&device) != cudaSuccess ||
        cudaDeviceGetAttribute(&alignment, cudaDevAttrTexturePitchAlignment, device) !=
            cudaSuccess ||
        alignment <= 0) {
        // The query's own error is not the caller's to see.
        cudaGetLastError();
        return kTexturePitchAlignment;
    }
    return static_cast<std::size_t>(alignment);
}

Error CudaRuntime::deviceSynchronize() {
    return toError(cudaDeviceSynchronize());
}

Error CudaRuntime::getLastError() {
    return toError(cudaGetLastError());
}

const char* CudaRuntime::getErrorString(Error error) const {
    return cudaGetErrorString(static_cast<cudaError_t>(error));
}

} // namespace gpu
