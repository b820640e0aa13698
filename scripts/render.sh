#!/usr/bin/env bash
# Renders audio through the ks CALVIR Room plug-in with calvir-render.
#
#   scripts/render.sh                      the built-in test signal -> demo-out.wav
#                                          in the repository root
#   scripts/render.sh in.wav -o out.wav --set "Rvb Time=2.5"
#   scripts/render.sh --help               every option
#
# Installs what is missing, builds the plug-in and the renderer when needed
# (Release, in build/), then runs the renderer with the bundle from
# build/VST3/ and the arguments given here. Relative paths in the arguments
# are taken from the current folder.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
renderer="$build/tools/render/calvir-render"
bundle="$build/VST3/ks CALVIR Room.vst3"

bash "$root/scripts/setup.sh"

if [ ! -f "$build/CMakeCache.txt" ]; then
  generator=()
  if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
  echo "render.sh: configuring a Release build in build/" >&2
  mkdir -p "$build"
  cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 1; }
fi

# Incremental: only what changed is rebuilt. The log is shown on failure only.
log="$build/render-build.log"
if ! cmake --build "$build" -j "$(nproc)" --target calvir_plugin calvir-render >"$log" 2>&1; then
  cat "$log" >&2
  echo "render.sh: the build failed (log above, also in $log)" >&2
  exit 1
fi

if [ $# -eq 0 ]; then
  set -- -o "$root/demo-out.wav"
fi
exec "$renderer" --bundle "$bundle" "$@"
