#!/usr/bin/env bash
# Speed on this machine, in one run over one 1920x1080 picture (halden-render's demo scene) with
# one thread count: the whole frame through the plug-in at the defaults, GEGL's lens blur at
# radius 35 (the defaults' radius) and the ratio; then the lens pass per look on every CPU path
# this machine runs.
#
#   scripts/bench.sh [build-folder]   (default: build; configured without CUDA when missing)
#
# GEGL comes from Debian's gegl package, installed with apt-get when missing and possible;
# without it that part is skipped with a note. The table takes minutes (the reference path is
# slow): BENCH_PATHS="sse2 avx2" limits it.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
build=${1:-build}

if [ ! -f "$build/CMakeCache.txt" ]; then
    generator=()
    command -v ninja >/dev/null && generator=(-G Ninja)
    cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALDEN_CUDA=OFF \
        -DBUILD_TESTING=OFF >/dev/null || exit 1
fi
cmake --build "$build" --parallel 2 --target halden_bench halden-render >/dev/null || exit 1
bench="$build/bench/halden_bench"
if [ ! -x "$bench" ]; then
    echo "bench: no $bench (is Google Benchmark installed?)" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --write-scene "$work/scene.exr" || exit 1

# The value of one field of each benchmark in a JSON report, one line each: name<TAB>value.
field() {
    python3 -c 'import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    print(b["name"], b.get(sys.argv[2], ""), sep="\t")' "$1" "$2"
}
seconds() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }

echo "== Whole frame, 1920x1080, defaults, through the plug-in (host pipeline, no file I/O)"
"$bench" --benchmark_filter='^WholeFrame' --benchmark_min_time=2 \
    --benchmark_out="$work/frame.json" --benchmark_out_format=json >/dev/null 2>"$work/frame.err"
ours=$(field "$work/frame.json" real_time | cut -f2)
threads=$(field "$work/frame.json" threads | cut -f2 | cut -d. -f1)
label=$(field "$work/frame.json" label | cut -f2)
if [ -z "$ours" ] || [ -z "$threads" ]; then
    echo "bench: the whole-frame benchmark failed:" >&2
    cat "$work/frame.err" >&2
    exit 1
fi
printf '  %-32s %8.1f ms  (%s, %s threads)\n' 'ours, frame in memory:' "$ours" "$label" "$threads"
start=$(seconds)
"$build/host/cli/halden-render" -i "$work/scene.exr" -o "$work/ours.exr" >/dev/null || exit 1
ours_file=$(calc "($(seconds) - $start) * 1000")
printf '  %-32s %8.1f ms\n' 'ours, halden-render EXR to EXR:' "$ours_file"

echo "== GEGL gegl:lens-blur radius=35, same picture, GEGL_THREADS=$threads"
note=""
if ! command -v gegl >/dev/null; then
    if ! command -v apt-get >/dev/null; then
        note="gegl is not installed and there is no apt-get"
    elif [ "$(id -u)" != 0 ]; then
        note="gegl is not installed and apt-get needs root"
    elif ! DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends gegl \
        >"$work/apt.log" 2>&1; then
        note="apt-get install gegl failed: $(tail -n 1 "$work/apt.log")"
    fi
fi
if [ -z "$note" ] && ! gegl --exists gegl:lens-blur gegl:exr-load >/dev/null 2>&1; then
    note="this gegl has no gegl:lens-blur or no gegl:exr-load"
fi
if [ -z "$note" ]; then
    # GEGL_DEBUG_TIME reports the share of the run each operation took: the best of two runs.
    best_op="" best_all=""
    for _ in 1 2; do
        start=$(seconds)
        if ! GEGL_THREADS=$threads GEGL_USE_OPENCL=no GEGL_DEBUG_TIME=1 gegl "$work/scene.exr" \
            -o "$work/gegl.exr" -- gegl:lens-blur radius=35 >"$work/gegl.log" 2>&1; then
            note="gegl failed: $(tail -n 1 "$work/gegl.log")"
            break
        fi
        all=$(calc "($(seconds) - $start) * 1000")
        op=$(awk '/^Total time:/ { total = $3 + 0 }
                  $1 == "process" { process = $2 + 0 }
                  $1 == "gegl:lens-blur" { blur = $2 + 0 }
                  END { if (total && process && blur) print total * process * blur / 10 }' \
            "$work/gegl.log")
        if [ -z "$op" ]; then
            note="gegl printed no timing for gegl:lens-blur (GEGL_DEBUG_TIME)"
            break
        fi
        if [ -z "$best_all" ] || [ "$(calc "$all < $best_all")" = 1 ]; then best_all=$all; fi
        if [ -z "$best_op" ] || [ "$(calc "$op < $best_op")" = 1 ]; then best_op=$op; fi
    done
fi
if [ -n "$note" ]; then
    echo "  GEGL not available: $note; skipped"
else
    printf '  %-32s %8.1f ms  (%s)\n' 'GEGL, the operation alone:' "$best_op" \
        "gegl $(dpkg-query -W -f '${Version}' gegl 2>/dev/null)"
    printf '  %-32s %8.1f ms\n' 'GEGL, gegl EXR to EXR:' "$best_all"
    printf '  ratio ours / GEGL: %.3f (frame in memory / operation), %.3f (file to file)\n' \
        "$(calc "$ours / $best_op")" "$(calc "$ours_file / $best_all")"
fi

echo "== Lens pass, 1920x1080, Msamples/s per core ($threads threads; vector paths: median of 3)"
paths=${BENCH_PATHS:-reference sse2 avx2 avx512}
measured=()
for path in $paths; do
    # One pass of the reference path takes seconds; the vector paths run for half a second,
    # three times, and the median stands for the path, so that one pass slowed by a busy
    # machine does not.
    min_time=0.5 repetitions=3
    [ "$path" = reference ] && min_time=0.01 repetitions=1
    HALDEN_CPU_PATH=$path "$bench" --benchmark_filter='^LensBlurPass/' --benchmark_min_time=$min_time \
        --benchmark_repetitions=$repetitions \
        --benchmark_out="$work/$path.json" --benchmark_out_format=json >/dev/null 2>&1 || continue
    # A path this machine does not run falls back to another: the label says which ran.
    # grep reads to the end: with pipefail, one that stops at the first match breaks the pipe.
    if field "$work/$path.json" label | grep " $path\$" >/dev/null; then
        measured+=("$path")
    else
        echo "  $path: not supported here"
    fi
done
python3 - "$work" "${measured[@]}" <<'EOF'
import json, statistics, sys
work, paths = sys.argv[1], sys.argv[2:]
rows = {}
for path in paths:
    runs = {}
    for b in json.load(open(f"{work}/{path}.json"))["benchmarks"]:
        if b.get("run_type") == "aggregate":
            continue
        look = b["name"].split("/")[1]
        rows.setdefault(look, {"spp": b["samples_per_pixel"]})
        runs.setdefault(look, []).append(b["samples_per_second_per_core"] / 1e6)
    for look, values in runs.items():
        rows[look][path] = statistics.median(values)
print(f"  {'look':26}{'samples/px':>11}" + "".join(f"{p:>11}" for p in paths))
for look, row in rows.items():
    print(f"  {look:26}{row['spp']:11.1f}" + "".join(f"{row.get(p, 0):11.1f}" for p in paths))
EOF
