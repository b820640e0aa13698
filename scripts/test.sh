#!/usr/bin/env bash
# Installs what is missing, builds a Release and a sanitizer build, and runs
# every test in both. Fails on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)

configure_and_test() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

echo "== Release build"
configure_and_test build -DCMAKE_BUILD_TYPE=Release

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  configure_and_test build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVIR_SANITIZE=ON -DCALVIR_BENCH=OFF

if [ -x scripts/fuzz.sh ]; then
  echo "== Fuzz targets (short run)"
  bash scripts/fuzz.sh --short
fi
