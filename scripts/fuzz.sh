#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer, every library instrumented) in build-fuzz/ and
# runs them.
#
#   scripts/fuzz.sh --short              every target briefly, in parallel (tens of seconds)
#   scripts/fuzz.sh --seconds N          every target for N seconds
#       [--workers K]                    processes per target sharing one corpus
#                                        (default: the cores divided among the targets)
#       [--target NAME]                  only this target (may be repeated)
#       [--no-build]                     use the targets as last built
#   scripts/fuzz.sh --list               the targets
#
# Fails when the build fails or any target finds a crash, a leak, a sanitizer
# report, a timeout or a failed property. Reproducers land in
# build-fuzz/artifacts/<target>/; run one with build-fuzz/tests/fuzz/<target> <file>.
# The working corpora grow in build-fuzz/corpus/<target>/; the seeds in
# tests/fuzz/corpus/<target>/ are only read.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-fuzz"

short_seconds=12
mode=""
seconds=0
workers=0
targets=()
build_first=1
while [ $# -gt 0 ]; do
  case "$1" in
    --short) mode=short; seconds=$short_seconds ;;
    --seconds) mode=long; seconds=${2:?--seconds needs a number}; shift ;;
    --workers) workers=${2:?--workers needs a number}; shift ;;
    --target) targets+=("${2:?--target needs a name}"); shift ;;
    --no-build) build_first=0 ;;
    --list) mode=list ;;
    -h|--help) sed -n '2,18p' "$0"; exit 0 ;;
    *) echo "fuzz.sh: unknown argument '$1'" >&2; exit 2 ;;
  esac
  shift
done
[ -n "$mode" ] || { echo "fuzz.sh: give --short, --seconds N or --list" >&2; exit 2; }

all_targets=()
for dir in "$root"/tests/fuzz/corpus/*/; do
  all_targets+=("$(basename "$dir")")
done
if [ "$mode" = list ]; then
  printf '%s\n' "${all_targets[@]}"
  exit 0
fi
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

for tool in clang clang++; do
  command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

if [ "$build_first" -eq 1 ]; then
  # A build folder configured with another compiler cannot be switched over.
  if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' "$build/CMakeCache.txt"; then
    rm -rf "$build"
  fi
  echo "fuzz.sh: building the fuzz targets in $build"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCALVIR_FUZZ=ON -DBUILD_TESTING=OFF -DCALVIR_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
fi

if [ "$workers" -le 0 ]; then
  workers=$(( $(nproc) / ${#targets[@]} ))
  [ "$mode" = short ] && workers=1
  [ "$workers" -ge 1 ] || workers=1
fi

export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"
logs="$build/logs"
mkdir -p "$logs"

pids=()
names=()
for t in "${targets[@]}"; do
  exe="$build/tests/fuzz/$t"
  [ -x "$exe" ] || { echo "fuzz.sh: $exe was not built" >&2; exit 1; }
  mkdir -p "$build/corpus/$t" "$build/artifacts/$t"
  extra=()
  [ -f "$root/tests/fuzz/$t.dict" ] && extra+=("-dict=$root/tests/fuzz/$t.dict")
  for w in $(seq 1 "$workers"); do
    "$exe" "$build/corpus/$t" "$root/tests/fuzz/corpus/$t" \
      -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 -max_len=8192 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$t/" "${extra[@]}" \
      >"$logs/$t-$w.log" 2>&1 &
    pids+=($!)
    names+=("$t-$w")
  done
done
echo "fuzz.sh: ${#pids[@]} fuzzing processes, ${seconds} s each"

failed=0
for i in "${!pids[@]}"; do
  if ! wait "${pids[$i]}"; then
    echo "fuzz.sh: ${names[$i]} FAILED; the end of its log ($logs/${names[$i]}.log):" >&2
    tail -n 40 "$logs/${names[$i]}.log" >&2
    failed=1
  fi
done

summary="$logs/summary.txt"
{
  printf '%-24s %8s %14s %10s\n' target seconds executions exec/s
  for t in "${targets[@]}"; do
    runs=0
    for w in $(seq 1 "$workers"); do
      n=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$logs/$t-$w.log" | awk '{print $2}' | tail -n 1)
      runs=$(( runs + ${n:-0} ))
    done
    rate=0
    [ "$seconds" -gt 0 ] && rate=$(( runs / seconds ))
    printf '%-24s %8s %14s %10s\n' "$t" "$seconds" "$runs" "$rate"
  done
} | tee "$summary"

if [ "$failed" -ne 0 ]; then
  echo "fuzz.sh: FAILED (reproducers in $build/artifacts/)" >&2
  exit 1
fi
echo "fuzz.sh: all targets ran clean"
