// Linked into the Linux plug-in modules so that they load on glibc 2.28 (the oldest system the
// studio hosts run on) although they are built against a newer one.
//
// Every module links the C++ runtime in, and with it the unversioned references of libstdc++,
// libgcc and (with CUDA) the static CUDA runtime. The linker binds those to the newest version
// of each symbol, which for the functions glibc 2.34 moved into libc (threads, dlopen, shared
// memory) is GLIBC_2.34. Each name below is linked with --wrap=NAME, which sends every
// reference to __wrap_NAME; that is a jump to the version glibc 2.28 has. The build reads the
// names from this file, so the list lives here only.
//
// A few have no old version and are implemented here instead.

#include <dlfcn.h>
#include <elf.h>
#include <errno.h>
#include <fcntl.h>
#include <link.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

// __wrap_NAME: a jump to NAME@VERSION.
#define HALDEN_OLD_VERSION(name, version)                                                          \
    __asm__(".globl __wrap_" #name "\n"                                                            \
            ".hidden __wrap_" #name "\n"                                                           \
            ".type __wrap_" #name ", @function\n"                                                  \
            "__wrap_" #name ":\n"                                                                  \
            "\tjmp halden_old_" #name "@PLT\n"                                                     \
            ".size __wrap_" #name ", . - __wrap_" #name "\n"                                       \
            ".symver halden_old_" #name ", " #name "@" version "\n");

// In libdl before 2.34.
HALDEN_OLD_VERSION(dladdr, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(dlclose, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(dlerror, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(dlmopen, "GLIBC_2.3.4")
HALDEN_OLD_VERSION(dlopen, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(dlsym, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(dlvsym, "GLIBC_2.2.5")
// In libpthread before 2.34.
HALDEN_OLD_VERSION(__pthread_key_create, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_condattr_setpshared, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_create, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_detach, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_getspecific, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_join, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_key_create, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_key_delete, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_kill, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_mutex_trylock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_mutexattr_destroy, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_mutexattr_init, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_mutexattr_setpshared, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_mutexattr_settype, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_once, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlock_destroy, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlock_init, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlock_rdlock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlock_timedrdlock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlock_timedwrlock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlock_tryrdlock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlock_trywrlock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlock_unlock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlock_wrlock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlockattr_destroy, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlockattr_init, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_rwlockattr_setpshared, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_setspecific, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_spin_destroy, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_spin_init, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_spin_lock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_spin_trylock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(pthread_spin_unlock, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(sem_destroy, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(sem_init, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(sem_post, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(sem_timedwait, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(sem_trywait, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(sem_wait, "GLIBC_2.2.5")
// In librt before 2.34.
HALDEN_OLD_VERSION(shm_open, "GLIBC_2.2.5")
HALDEN_OLD_VERSION(shm_unlink, "GLIBC_2.2.5")
// Re-versioned in 2.35 for a new implementation; the old one differs by under an ulp.
HALDEN_OLD_VERSION(hypot, "GLIBC_2.2.5")

// Before 2.33 the stat functions were inline wrappers of these, with the structure version
// as the first argument (1 on x86-64).
extern "C" {
int halden_xstat(int version, const char* path, struct stat* buffer);
int halden_lxstat(int version, const char* path, struct stat* buffer);
int halden_fxstat(int version, int fd, struct stat* buffer);
}
__asm__(".symver halden_xstat, __xstat@GLIBC_2.2.5\n"
        ".symver halden_lxstat, __lxstat@GLIBC_2.2.5\n"
        ".symver halden_fxstat, __fxstat@GLIBC_2.2.5\n");

namespace {

constexpr int kStatVersion = 1;

// Headers before glibc 2.35 have no _dl_find_object, and their unwinder does not call it.
#if defined(DLFO_STRUCT_HAS_EH_DBASE)
struct FindRequest {
    std::uintptr_t address;
    dl_find_object* result;
};

int findObject(dl_phdr_info* info, std::size_t, void* data) {
    FindRequest& request = *static_cast<FindRequest*>(data);
    std::uintptr_t start = UINTPTR_MAX, end = 0;
    bool contains = false;
    void* ehFrame = nullptr;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        const std::uintptr_t from = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD) {
            const std::uintptr_t to = from + segment.p_memsz;
            start = from < start ? from : start;
            end = to > end ? to : end;
            contains = contains || (request.address >= from && request.address < to);
        } else if (segment.p_type == PT_GNU_EH_FRAME) {
            ehFrame = reinterpret_cast<void*>(from);
        }
    }
    if (!contains) {
        return 0;
    }
    dl_find_object& result = *request.result;
    result.dlfo_flags = 0;
    result.dlfo_map_start = reinterpret_cast<void*>(start);
    result.dlfo_map_end = reinterpret_cast<void*>(end);
    result.dlfo_link_map = nullptr;
    result.dlfo_eh_frame = ehFrame;
    return 1;
}
#endif

} // namespace

extern "C" {

// libstdc++ reads this to skip atomic operations in a process without threads; hosts have
// threads, and 0 (always atomic) is right everywhere.
__attribute__((visibility("hidden"))) char __libc_single_threaded = 0;

__attribute__((visibility("hidden"))) int __wrap_stat(const char* path, struct stat* buffer) {
    return halden_xstat(kStatVersion, path, buffer);
}
__attribute__((visibility("hidden"))) int __wrap_lstat(const char* path, struct stat* buffer) {
    return halden_lxstat(kStatVersion, path, buffer);
}
__attribute__((visibility("hidden"))) int __wrap_fstat(int fd, struct stat* buffer) {
    return halden_fxstat(kStatVersion, fd, buffer);
}
__attribute__((visibility("hidden"))) int __wrap_fstat64(int fd, struct stat* buffer) {
    return halden_fxstat(kStatVersion, fd, buffer);
}

#if defined(DLFO_STRUCT_HAS_EH_DBASE)
// The unwinder finds the frame tables of a code address with this (glibc 2.35); before it,
// with dl_iterate_phdr, which is what this does.
__attribute__((visibility("hidden"))) int __wrap__dl_find_object(void* address,
                                                                 dl_find_object* result) {
    FindRequest request{reinterpret_cast<std::uintptr_t>(address), result};
    return dl_iterate_phdr(findObject, &request) != 0 ? 0 : -1;
}
#endif

// std::random_device's source (glibc 2.36).
__attribute__((visibility("hidden"))) std::uint32_t __wrap_arc4random() {
    std::uint32_t value = 0;
    for (;;) {
        const ssize_t got = getrandom(&value, sizeof value, 0);
        if (got == static_cast<ssize_t>(sizeof value)) {
            return value;
        }
        if (got < 0 && errno != EINTR) {
            break;
        }
    }
    // A kernel without getrandom (before 3.17).
    const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        const ssize_t got = read(fd, &value, sizeof value);
        close(fd);
        if (got == static_cast<ssize_t>(sizeof value)) {
            return value;
        }
    }
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&value)) ^
           static_cast<std::uint32_t>(getpid());
}

} // extern "C"
