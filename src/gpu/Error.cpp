#include "gpu/Error.h"

namespace gpu {

const char* errorText(Error error) {
    switch (error) {
    case Error::Success:
        return "no error";
    case Error::InvalidValue:
        return "invalid argument";
    case Error::MemoryAllocation:
        return "out of memory";
    case Error::InitializationError:
        return "initialization error";
    case Error::InvalidPitchValue:
        return "invalid pitch argument";
    case Error::InvalidDevicePointer:
        return "invalid device pointer";
    case Error::InvalidTexture:
        return "invalid texture reference";
    case Error::InvalidChannelDescriptor:
        return "invalid channel descriptor";
    case Error::InvalidMemcpyDirection:
        return "invalid copy direction for memcpy";
    case Error::InsufficientDriver:
        return "CUDA driver version is insufficient for CUDA runtime version";
    case Error::NoDevice:
        return "no CUDA-capable device is detected";
    case Error::InvalidResourceHandle:
        return "invalid resource handle";
    case Error::IllegalAddress:
        return "an illegal memory access was encountered";
    case Error::LaunchFailure:
        return "unspecified launch failure";
    case Error::NotSupported:
        return "operation not supported";
    case Error::Unknown:
        return "unknown error";
    }
    return "unrecognized error code";
}

} // namespace gpu
