#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: once in the normal
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer; then builds, installs
# and checks the Debian package, and builds and tests the Windows programs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)

cmake --preset default
cmake --build --preset default -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --preset default -j "$jobs"

cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset sanitize -j "$jobs"

scripts/package-test.sh
scripts/windows-test.sh

if [ -x scripts/fuzz.sh ]; then
    scripts/fuzz.sh 60
fi
