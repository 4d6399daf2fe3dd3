#!/usr/bin/env bash
# Runs on a machine with a CUDA device: the gpu-labelled tests (CUDA against the CPU backend),
# then one fixed-format block (halden_bench --gpu-check: parity of every benchmark look, 1080p
# and UHD frame times, samples/s against the texture unit's limit, device memory per instance
# and over 1000 frames), then the lens-blur benchmark on the GPU, then the CPU sample loops on
# the machine's own processor.
#
# The GPU machine has the driver but none of our build dependencies, so build here with CUDA
# and bring the build folder along:  scripts/gpu-check.sh [build-folder]   (default: build)
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if [ ! -f "$build/CTestTestfile.cmake" ]; then
    echo "gpu-check: no build in $build; build with CUDA first (cmake -DHALDEN_CUDA=ON)" >&2
    exit 2
fi
command -v nvidia-smi >/dev/null && nvidia-smi --query-gpu=name,driver_version,memory.total --format=csv

status=0
ctest --test-dir "$build" -L gpu --output-on-failure -V 2>&1 | grep -E '\[ (parity|timing) \]|Test +#|tests passed|tests failed|SKIPPED|FAILED' || true
ctest --test-dir "$build" -L gpu --output-on-failure >/dev/null 2>&1 || status=1

if [ -x "$build/bench/halden_bench" ]; then
    HALDEN_BACKEND=cuda "$build/bench/halden_bench" --gpu-check || status=1
    HALDEN_BACKEND=cuda "$build/bench/halden_bench" --benchmark_min_time=2 || status=1
fi

# The GPU machine's own processor is often wider than ours: the CPU sample loops' parity on
# every instruction set it runs (AVX-512 included), and their speed on the widest.
echo "== CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2-), $(nproc) threads," \
    "avx512f: $(grep -qw avx512f /proc/cpuinfo && echo yes || echo no) =="
ctest --test-dir "$build" -R FastPath --output-on-failure -V 2>&1 |
    grep -E '\[ +(OK|SKIPPED|FAILED) +\] [A-Z]|tests passed|tests failed' || true
ctest --test-dir "$build" -R FastPath >/dev/null 2>&1 || status=1
if [ -x "$build/bench/halden_bench" ]; then
    HALDEN_BACKEND=cpu "$build/bench/halden_bench" --benchmark_filter='LensBlurPass|WholeFrame' \
        --benchmark_min_time=0.5 || status=1
fi
exit $status
