#include "gpu/BackendSelection.h"
#include "gpu/Runtime.h"

#include <gtest/gtest.h>

#include <cstring>

// Which runtime a process gets: CUDA only where it is built in and a device answers, the CPU
// emulation otherwise; HALDEN_BACKEND forces either, and an impossible request is reported.

namespace {

using gpu::Backend;

int gProbes = 0;
bool deviceAnswers() {
    ++gProbes;
    return true;
}
bool noDevice() {
    ++gProbes;
    return false;
}

TEST(BackendSelection, AutomaticChoicePrefersAnAnsweringCudaDevice) {
    EXPECT_EQ(gpu::chooseBackend(nullptr, true, deviceAnswers).backend, Backend::Cuda);
    EXPECT_EQ(gpu::chooseBackend("", true, deviceAnswers).backend, Backend::Cuda);
    const gpu::BackendChoice none = gpu::chooseBackend(nullptr, true, noDevice);
    EXPECT_EQ(none.backend, Backend::Cpu);
    EXPECT_TRUE(none.problem.empty());
    gProbes = 0;
    EXPECT_EQ(gpu::chooseBackend(nullptr, false, deviceAnswers).backend, Backend::Cpu);
    EXPECT_EQ(gProbes, 0);
}

TEST(BackendSelection, ForcingCpuNeverProbesCuda) {
    gProbes = 0;
    const gpu::BackendChoice choice = gpu::chooseBackend("cpu", true, deviceAnswers);
    EXPECT_EQ(choice.backend, Backend::Cpu);
    EXPECT_TRUE(choice.problem.empty());
    EXPECT_EQ(gProbes, 0);
}

TEST(BackendSelection, ForcingCudaWithoutADeviceFallsBackToCpuAndSaysWhy) {
    EXPECT_EQ(gpu::chooseBackend("cuda", true, deviceAnswers).backend, Backend::Cuda);
    EXPECT_EQ(gpu::chooseBackend("CUDA", true, deviceAnswers).backend, Backend::Cuda);

    const gpu::BackendChoice noCard = gpu::chooseBackend("cuda", true, noDevice);
    EXPECT_EQ(noCard.backend, Backend::Cpu);
    EXPECT_NE(noCard.problem.find("no CUDA device"), std::string::npos) << noCard.problem;

    const gpu::BackendChoice notBuilt = gpu::chooseBackend("cuda", false, deviceAnswers);
    EXPECT_EQ(notBuilt.backend, Backend::Cpu);
    EXPECT_NE(notBuilt.problem.find("no CUDA backend"), std::string::npos) << notBuilt.problem;
}

TEST(BackendSelection, UnknownValueIsReportedAndChosenAutomatically) {
    const gpu::BackendChoice choice = gpu::chooseBackend("opencl", true, deviceAnswers);
    EXPECT_EQ(choice.backend, Backend::Cuda);
    EXPECT_NE(choice.problem.find("opencl"), std::string::npos) << choice.problem;
}

TEST(BackendSelection, TheProcessRuntimeIsChosenOnce) {
    gpu::Runtime& first = gpu::runtime();
    EXPECT_EQ(&first, &gpu::runtime());
    const bool known =
        std::strcmp(first.name(), "cpu") == 0 || std::strcmp(first.name(), "cuda") == 0;
    EXPECT_TRUE(known) << first.name();
}

} // namespace
