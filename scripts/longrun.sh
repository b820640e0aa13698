#!/usr/bin/env bash
# The long reliability run, outside the default test run: builds calvir_longrun
# in a Release build and plays an hour of audio (by default) at 48000 Hz
# through one processor with random automation of every parameter.
#
#   scripts/longrun.sh [--build-dir DIR] [--seconds S] [--rate HZ] [--seed N]
#
# DIR defaults to build/ (the Release build of scripts/test.sh). Fails when a
# sample is not finite or subnormal, the output leaves its bound or its DC grows.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build=${2:?--build-dir needs a folder}; shift ;;
    --seconds|--rate|--seed) args+=("$1" "${2:?$1 needs a value}"); shift ;;
    -h|--help) sed -n '2,9p' "$0"; exit 0 ;;
    *) echo "longrun.sh: unknown argument '$1'" >&2; exit 2 ;;
  esac
  shift
done

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target calvir_longrun
exe=$(find "$build" -type f -name calvir_longrun -perm -u+x | head -n 1)
[ -n "$exe" ] || { echo "longrun.sh: calvir_longrun was not built" >&2; exit 1; }
echo "longrun.sh: $exe ${args[*]}"
time "$exe" "${args[@]}"
