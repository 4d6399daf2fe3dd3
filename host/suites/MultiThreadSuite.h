#pragma once

#include "ofx/ofxMultiThread.h"

#include <cstddef>

namespace ofxhost {

// The multithread suite: multiThread runs the function on real threads and joins them. Its
// functions carry no host handle, so the settings and statistics are process-wide.
class MultiThreadSuite {
public:
    struct Stats {
        int calls = 0;
        // The most threads one multiThread call ran on.
        unsigned int largestSplit = 0;
        // Distinct OS threads that ran plug-in thread functions.
        size_t distinctThreads = 0;
    };

    // Threaded, or everything on the calling thread with one CPU reported.
    static const OfxMultiThreadSuiteV1* table(bool threaded);
    // A host without threads: one CPU, multiThread calls the function once on the calling
    // thread as index 0 of 1, mutexCreate hands out NULL handles that lock and unlock freely.
    static const OfxMultiThreadSuiteV1* stubTable();
    // CPUs reported by multiThreadNumCPUs; 0 = what the machine has.
    static void configure(unsigned int cpuCount);
    static unsigned int cpuCount();
    static Stats stats();
    static void resetStats();
    // Mutexes created and not destroyed (leak checks).
    static int liveMutexes();
};

} // namespace ofxhost
