#!/usr/bin/env bash
# Installs every package the build and the tests need, and nothing that is already there.
# Safe to run again and again; on a fresh Debian 12 machine it needs root (or sudo).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev libgl-dev nlohmann-json3-dev
    clang libclang-rt-14-dev clang-format
    dpkg-dev file desktop-file-utils appstream shared-mime-info poppler-utils fonts-dejavu-core
    g++-mingw-w64-x86-64 wine64
)
# Optional: the Fortran compiler of the reading benchmark's yardstick; the build goes on without it.
optional=(gfortran)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

optional_missing=()
for p in "${optional[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || optional_missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ] && [ ${#optional_missing[@]} -eq 0 ]; then
    exit 0
fi

echo "setup: installing ${missing[*]} ${optional_missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ ${#optional_missing[@]} -gt 0 ]; then
    $sudo apt-get install -y -qq --no-install-recommends "${optional_missing[@]}" ||
        echo "setup: ${optional_missing[*]} not installed; the Fortran yardstick is left out"
fi
