#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, when missing.
# Idempotent: with everything present it only checks and returns.
set -euo pipefail

packages=(
  cmake g++ clang make
  juce-modules-source-data
  libexpat1-dev
  libgtest-dev
  libbenchmark-dev
  libsndfile1-dev
  libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
