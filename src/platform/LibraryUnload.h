#pragma once

// What code in the plug-in's library may still do while the system unloads the library.
namespace platform {

// A Windows DLL's static destructors run under the loader lock, where joining a thread never
// returns: the thread needs that lock to exit. Elsewhere they may join.
#if defined(_WIN32)
constexpr bool kCanJoinThreadsWhileUnloading = false;
#else
constexpr bool kCanJoinThreadsWhileUnloading = true;
#endif

} // namespace platform
