#!/usr/bin/env bash
# Installs what is missing, builds a Release and a sanitizer build and runs
# every test in both, then runs the threaded tests under ThreadSanitizer and
# the fuzz targets briefly. Fails on the first failure.
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

echo "== ThreadSanitizer build (the tests that process on more than one thread)"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVIR_TSAN=ON -DCALVIR_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target integration_concurrency_test integration_host_test
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1:exitcode=66 ctest --output-on-failure -L threads)

if [ -x scripts/fuzz.sh ]; then
  echo "== Fuzz targets (short run)"
  bash scripts/fuzz.sh --short
fi
