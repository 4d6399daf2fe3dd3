#pragma once

namespace gpu {

// CUDA runtime error codes with CUDA's own numbers, so codes logged on either backend mean the
// same. The CUDA backend may also return codes that have no name here.
enum class Error : int {
    Success = 0,
    InvalidValue = 1,
    MemoryAllocation = 2,
    InitializationError = 3,
    InvalidPitchValue = 12,
    InvalidDevicePointer = 17,
    InvalidTexture = 18,
    InvalidChannelDescriptor = 20,
    InvalidMemcpyDirection = 21,
    InsufficientDriver = 35,
    NoDevice = 100,
    InvalidResourceHandle = 400,
    IllegalAddress = 700,
    LaunchFailure = 719,
    NotSupported = 801,
    Unknown = 999,
};

// CUDA's text for a code, as cudaGetErrorString gives it; "unrecognized error code" otherwise.
const char* errorText(Error error);

} // namespace gpu
