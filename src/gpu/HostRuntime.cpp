#include "gpu/HostRuntime.h"

#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace gpu {

namespace {

// Limits of a current card (cudaDeviceProp): textureAlignment and the largest 2D texture and
// surface; texturePitchAlignment is the runtime's own.
constexpr std::size_t kTextureAlignment = 512;
constexpr std::size_t kMaxWidth = 131072;
constexpr std::size_t kMaxHeight = 65536;

// CUDA keeps the last error per thread; each runtime object has its own on every thread.
struct PendingError {
    std::uint64_t runtime;
    Error error;
};
thread_local std::vector<PendingError> tPendingErrors;
// CUDA's current device is the calling thread's.
thread_local int tCurrentDevice = 0;
std::atomic<std::uint64_t> gNextSerial{1};

} // namespace

bool HostRuntime::extent2D(std::size_t pitch, std::size_t width, std::size_t height,
                           std::size_t* extent) {
    const std::size_t rows = height - 1;
    if (rows != 0 && pitch > (std::numeric_limits<std::size_t>::max() - width) / rows) {
        return false;
    }
    *extent = pitch * rows + width;
    return true;
}

HostRuntime::HostRuntime(std::size_t capacityBytes)
    : serial_(gNextSerial.fetch_add(1)), capacity_(capacityBytes) {}

HostRuntime::~HostRuntime() = default;

Error HostRuntime::fail(Error error) {
    try {
        for (PendingError& pending : tPendingErrors) {
            if (pending.runtime == serial_) {
                pending.error = error;
                return error;
            }
        }
        tPendingErrors.push_back({serial_, error});
    } catch (const std::bad_alloc&) {
        // The call still reports its error; only the later getLastError misses it.
    }
    return error;
}

Error HostRuntime::getLastError() {
    for (auto it = tPendingErrors.begin(); it != tPendingErrors.end(); ++it) {
        if (it->runtime == serial_) {
            const Error error = it->error;
            tPendingErrors.erase(it);
            return error;
        }
    }
    return Error::Success;
}

bool HostRuntime::injected(Operation operation, Error* error) {
    std::lock_guard<std::mutex> lock(mutex_);
    Injection& injection = injections_[static_cast<std::size_t>(operation)];
    if (injection.remaining > 0 && --injection.remaining == 0) {
        *error = injection.error;
        return true;
    }
    return false;
}

int HostRuntime::injectFailure(Operation operation, int nth, Error error) {
    std::lock_guard<std::mutex> lock(mutex_);
    Injection& injection = injections_[static_cast<std::size_t>(operation)];
    const int waiting = injection.remaining;
    injection = Injection{nth > 0 ? nth : 0, error};
    return waiting;
}

void HostRuntime::clearInjectedFailures() {
    std::lock_guard<std::mutex> lock(mutex_);
    injections_.fill(Injection{});
}

HostRuntime::LiveCounts HostRuntime::liveCounts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    LiveCounts counts;
    counts.linear = linear_.size();
    counts.arrays = arrays_.size();
    counts.textures = textures_.size();
    counts.surfaces = surfaces_.size();
    counts.bytes = bytes_;
    return counts;
}

std::size_t HostRuntime::allocations() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return allocations_;
}

std::shared_ptr<HostAllocation> HostRuntime::findLinear(const void* ptr, std::size_t size) const {
    const auto address = reinterpret_cast<std::uintptr_t>(ptr);
    auto it = linear_.upper_bound(address);
    if (it == linear_.begin()) {
        return nullptr;
    }
    --it;
    const std::size_t offset = address - it->first;
    const std::size_t length = it->second->size();
    if (offset >= length || size > length - offset) {
        return nullptr;
    }
    return it->second;
}

Error HostRuntime::locateLinear(const void* ptr, std::size_t extent, bool device,
                                Region* region) const {
    region->bytes = static_cast<std::byte*>(const_cast<void*>(ptr));
    // A "host" pointer into a tracked block is device memory all the same (unified addressing
    // lets CUDA copy it), and its bounds are known, so it is checked like one.
    if (device || findLinear(ptr, 0) != nullptr) {
        region->memory = findLinear(ptr, extent);
        if (region->memory == nullptr) {
            return Error::InvalidValue;
        }
    }
    return Error::Success;
}

Error HostRuntime::malloc(void** devPtr, std::size_t size) {
    Error error = Error::Success;
    if (injected(Operation::Malloc, &error)) {
        return fail(error);
    }
    if (devPtr == nullptr) {
        return fail(Error::InvalidValue);
    }
    *devPtr = nullptr;
    if (size == 0) {
        return Error::Success;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (size > capacity_ - bytes_) {
        return fail(Error::MemoryAllocation);
    }
    std::shared_ptr<HostAllocation> block = HostAllocation::create(size);
    if (block == nullptr) {
        return fail(Error::MemoryAllocation);
    }
    try {
        linear_.emplace(reinterpret_cast<std::uintptr_t>(block->data()), block);
    } catch (const std::bad_alloc&) {
        return fail(Error::MemoryAllocation);
    }
    bytes_ += size;
    ++allocations_;
    *devPtr = block->data();
    return Error::Success;
}

Error HostRuntime::free(void* devPtr) {
    Error error = Error::Success;
    if (injected(Operation::Free, &error)) {
        return fail(error);
    }
    if (devPtr == nullptr) {
        return Error::Success;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = linear_.find(reinterpret_cast<std::uintptr_t>(devPtr));
    if (it == linear_.end()) {
        return fail(Error::InvalidValue);
    }
    bytes_ -= it->second->size();
    linear_.erase(it);
    return Error::Success;
}

Error HostRuntime::memset(void* devPtr, int value, std::size_t count) {
    Error error = Error::Success;
    if (injected(Operation::Memset, &error)) {
        return fail(error);
    }
    if (count == 0) {
        return Error::Success;
    }
    std::shared_ptr<HostAllocation> block;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        block = findLinear(devPtr, count);
    }
    if (block == nullptr) {
        return fail(Error::InvalidValue);
    }
    std::memset(devPtr, value, count);
    return Error::Success;
}

Error HostRuntime::mallocArray(ArrayHandle* array, std::size_t width, std::size_t height,
                               unsigned flags) {
    Error error = Error::Success;
    if (injected(Operation::MallocArray, &error)) {
        return fail(error);
    }
    if (array == nullptr || width == 0 || height == 0 || width > kMaxWidth || height > kMaxHeight ||
        (flags & ~kArraySurfaceLoadStore) != 0) {
        return fail(Error::InvalidValue);
    }
    const std::size_t size = width * height * kTexelBytes;
    std::lock_guard<std::mutex> lock(mutex_);
    if (size > capacity_ - bytes_) {
        return fail(Error::MemoryAllocation);
    }
    Array entry;
    entry.memory = HostAllocation::create(size);
    if (entry.memory == nullptr) {
        return fail(Error::MemoryAllocation);
    }
    entry.width = static_cast<int>(width);
    entry.height = static_cast<int>(height);
    entry.flags = flags;
    entry.device = tCurrentDevice;
    try {
        arrays_.emplace(nextArray_, std::move(entry));
    } catch (const std::bad_alloc&) {
        return fail(Error::MemoryAllocation);
    }
    bytes_ += size;
    ++allocations_;
    *array = nextArray_++;
    return Error::Success;
}

Error HostRuntime::freeArray(ArrayHandle array) {
    Error error = Error::Success;
    if (injected(Operation::FreeArray, &error)) {
        return fail(error);
    }
    if (array == 0) {
        return Error::Success;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = arrays_.find(array);
    if (it == arrays_.end()) {
        return fail(Error::InvalidValue);
    }
    if (it->second.device != tCurrentDevice) {
        return fail(Error::InvalidResourceHandle);
    }
    bytes_ -= it->second.memory->size();
    arrays_.erase(it);
    return Error::Success;
}

Error HostRuntime::createTextureObject(TextureObject* texture, const ResourceDesc& resource,
                                       const TextureDesc& desc) {
    Error error = Error::Success;
    if (injected(Operation::CreateTextureObject, &error)) {
        return fail(error);
    }
    if (texture == nullptr) {
        return fail(Error::InvalidValue);
    }
    for (AddressMode mode : desc.addressMode) {
        if (static_cast<int>(mode) < 0 || static_cast<int>(mode) > 3) {
            return fail(Error::InvalidValue);
        }
    }
    if ((desc.filterMode != FilterMode::Point && desc.filterMode != FilterMode::Linear) ||
        (desc.readMode != ReadMode::ElementType && desc.readMode != ReadMode::NormalizedFloat)) {
        return fail(Error::InvalidValue);
    }

    std::lock_guard<std::mutex> lock(mutex_);
    Texture entry;
    try {
        if (resource.type == ResourceDesc::Type::Array) {
            const auto it = arrays_.find(resource.array);
            if (it == arrays_.end()) {
                return fail(Error::InvalidValue);
            }
            const Array& array = it->second;
            if (array.device != tCurrentDevice) {
                return fail(Error::InvalidResourceHandle);
            }
            entry.memory = array.memory;
            entry.view = std::make_unique<EmulatedTexture>(
                reinterpret_cast<const Texel*>(array.memory->data()), array.width, array.height,
                static_cast<std::size_t>(array.width), desc);
        } else if (resource.type == ResourceDesc::Type::Pitch2D) {
            const std::size_t rowBytes = resource.width * kTexelBytes;
            const auto base = reinterpret_cast<std::uintptr_t>(resource.devPtr);
            std::size_t extent = 0;
            if (resource.devPtr == nullptr || resource.width == 0 || resource.height == 0 ||
                resource.width > kMaxWidth || resource.height > kMaxHeight ||
                resource.pitchInBytes < rowBytes || resource.pitchInBytes % pitchAlignment_ != 0 ||
                base % kTextureAlignment != 0 ||
                !extent2D(resource.pitchInBytes, rowBytes, resource.height, &extent)) {
                return fail(Error::InvalidValue);
            }
            entry.memory = findLinear(resource.devPtr, extent);
            if (entry.memory == nullptr) {
                return fail(Error::InvalidValue);
            }
            entry.view = std::make_unique<EmulatedTexture>(
                static_cast<const Texel*>(resource.devPtr), static_cast<int>(resource.width),
                static_cast<int>(resource.height), resource.pitchInBytes / kTexelBytes, desc);
        } else {
            return fail(Error::InvalidValue);
        }
        entry.device = tCurrentDevice;
        const auto handle = reinterpret_cast<TextureObject>(entry.view.get());
        textures_.emplace(handle, std::move(entry));
        *texture = handle;
    } catch (const std::bad_alloc&) {
        return fail(Error::MemoryAllocation);
    }
    return Error::Success;
}

Error HostRuntime::destroyTextureObject(TextureObject texture) {
    Error error = Error::Success;
    if (injected(Operation::DestroyTextureObject, &error)) {
        return fail(error);
    }
    if (texture == 0) {
        return Error::Success;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = textures_.find(texture);
    if (it == textures_.end()) {
        return fail(Error::InvalidValue);
    }
    if (it->second.device != tCurrentDevice) {
        return fail(Error::InvalidResourceHandle);
    }
    textures_.erase(it);
    return Error::Success;
}

Error HostRuntime::createSurfaceObject(SurfaceObject* surface, ArrayHandle array) {
    Error error = Error::Success;
    if (injected(Operation::CreateSurfaceObject, &error)) {
        return fail(error);
    }
    if (surface == nullptr) {
        return fail(Error::InvalidValue);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = arrays_.find(array);
    if (it == arrays_.end()) {
        return fail(Error::InvalidResourceHandle);
    }
    const Array& storage = it->second;
    if (storage.device != tCurrentDevice) {
        return fail(Error::InvalidResourceHandle);
    }
    if ((storage.flags & kArraySurfaceLoadStore) == 0) {
        return fail(Error::InvalidValue);
    }
    try {
        Surface entry;
        entry.memory = storage.memory;
        entry.device = tCurrentDevice;
        entry.view =
            std::make_unique<EmulatedSurface>(reinterpret_cast<Texel*>(storage.memory->data()),
                                              storage.width, storage.height, &fault_);
        const auto handle = reinterpret_cast<SurfaceObject>(entry.view.get());
        surfaces_.emplace(handle, std::move(entry));
        *surface = handle;
    } catch (const std::bad_alloc&) {
        return fail(Error::MemoryAllocation);
    }
    return Error::Success;
}

Error HostRuntime::destroySurfaceObject(SurfaceObject surface) {
    Error error = Error::Success;
    if (injected(Operation::DestroySurfaceObject, &error)) {
        return fail(error);
    }
    if (surface == 0) {
        return Error::Success;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = surfaces_.find(surface);
    if (it == surfaces_.end()) {
        return fail(Error::InvalidValue);
    }
    if (it->second.device != tCurrentDevice) {
        return fail(Error::InvalidResourceHandle);
    }
    surfaces_.erase(it);
    return Error::Success;
}

Error HostRuntime::pointerGetAttributes(MemoryType* type, const void* ptr) {
    Error error = Error::Success;
    if (injected(Operation::PointerGetAttributes, &error)) {
        return fail(error);
    }
    if (type == nullptr) {
        return fail(Error::InvalidValue);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    *type = findLinear(ptr, 0) != nullptr ? MemoryType::Device : MemoryType::Unregistered;
    return Error::Success;
}

Error HostRuntime::synchronize(Operation operation) {
    Error error = Error::Success;
    if (injected(operation, &error)) {
        return fail(error);
    }
    // A trapped kernel is reported by the next synchronisation, as CUDA reports it.
    if (fault_.exchange(false)) {
        return fail(Error::LaunchFailure);
    }
    return Error::Success;
}

int HostRuntime::currentDevice() {
    return tCurrentDevice;
}

Error HostRuntime::getDevice(int* device) {
    if (device == nullptr) {
        return fail(Error::InvalidValue);
    }
    *device = tCurrentDevice;
    return Error::Success;
}

Error HostRuntime::setDevice(int device) {
    if (device < 0 || device >= kDeviceCount) {
        return fail(Error::InvalidValue);
    }
    tCurrentDevice = device;
    return Error::Success;
}

bool HostRuntime::usableHere(std::uint64_t handle) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (const auto texture = textures_.find(handle); texture != textures_.end()) {
        return texture->second.device == tCurrentDevice;
    }
    if (const auto surface = surfaces_.find(handle); surface != surfaces_.end()) {
        return surface->second.device == tCurrentDevice;
    }
    return true;
}

Error HostRuntime::memGetInfo(std::size_t* free, std::size_t* total) {
    if (free == nullptr || total == nullptr) {
        return fail(Error::InvalidValue);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    *free = capacity_ - bytes_;
    *total = capacity_;
    return Error::Success;
}

Error HostRuntime::streamCreate(StreamHandle* stream) {
    if (stream == nullptr) {
        return fail(Error::InvalidValue);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    *stream = nextStream_++;
    streams_[*stream] = tCurrentDevice;
    return Error::Success;
}

Error HostRuntime::streamDestroy(StreamHandle stream) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = streams_.find(stream);
    if (stream == 0 || it == streams_.end() || it->second != tCurrentDevice) {
        return fail(Error::InvalidResourceHandle);
    }
    it->second = -1;
    return Error::Success;
}

bool HostRuntime::streamUsable(StreamHandle stream) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = streams_.find(stream);
    return it == streams_.end() || it->second == tCurrentDevice;
}

Error HostRuntime::streamWaitFor(StreamHandle stream, StreamHandle after) {
    // Everything here runs as it is queued: the order already holds.
    if (!streamUsable(stream) || !streamUsable(after)) {
        return fail(Error::InvalidResourceHandle);
    }
    return Error::Success;
}

Error HostRuntime::streamSynchronize(StreamHandle stream) {
    if (!streamUsable(stream)) {
        return fail(Error::InvalidResourceHandle);
    }
    return synchronize(Operation::StreamSynchronize);
}

Error HostRuntime::deviceSynchronize() {
    return synchronize(Operation::DeviceSynchronize);
}

} // namespace gpu
