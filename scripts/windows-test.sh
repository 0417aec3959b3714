#!/usr/bin/env bash
# Cross-builds everything that does not need Qt for 64-bit Windows with MinGW-w64 (the core,
# tovandeck.exe, TOVAN.dll and tovan-engine-host.exe) into build-windows/, runs the core's and
# the engine's tests under Wine, and then drives the programs as a Windows user would: a deck
# saved under a name with letters outside any code page must come out byte for byte as on
# Linux (CR LF line ends), be read back, and be run by the engine in such a folder, with the
# same outputs as the Linux engine's.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
tovandeck="build-windows/bin/tovandeck.exe"
# The first program started sets up the Wine prefix; the tests then start in parallel.
"$wine" "$tovandeck" --version
ctest --preset windows -j "$jobs"

# Any engine's caller finds the entry point by its plain name.
exports=$(x86_64-w64-mingw32-objdump -p build-windows/bin/TOVAN.dll)
grep -q '\] TOVANF95$' <<<"$exports" || {
    echo "windows-test: TOVAN.dll does not export TOVANF95 undecorated" >&2
    exit 1
}

# A Windows name for a file of this machine: drive Z: is the root folder under Wine.
windows_name() { printf 'Z:%s' "${1//\//\\}"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/Überlauf Ωμέγα"
mkdir -p "$folder"
deck="$folder/Gewitter-ß.tvi"

"$wine" "$tovandeck" save examples/one-hour.json "$(windows_name "$deck")"
cmp "$deck" examples/one-hour.tvi
"$wine" "$tovandeck" format examples/hyetograph.tvi "$(windows_name "$folder/hyeto.tvi")"
cmp "$folder/hyeto.tvi" examples/hyetograph.tvi
"$wine" "$tovandeck" check "$(windows_name "$deck")"

cp examples/engine-demo.tvi "$folder/storm.tvi"
"$wine" "$tovandeck" run "$(windows_name "$folder/storm.tvi")"
for output in storm.tvo storm.tvd stormPeak.tvi; do
    test -s "$folder/$output" || { echo "windows-test: $output was not written" >&2; exit 1; }
done
if ls "$folder"/Killz__1.tv? >/dev/null 2>&1; then
    echo "windows-test: scratch files left behind" >&2
    exit 1
fi
# The engine computes the same numbers on both systems: with the Linux build at hand, its
# outputs must match byte for byte.
if [ -x build/bin/tovandeck ]; then
    mkdir "$work/linux"
    cp examples/engine-demo.tvi "$work/linux/storm.tvi"
    build/bin/tovandeck run "$work/linux/storm.tvi" >/dev/null
    for output in storm.tvo storm.tvd stormPeak.tvi; do
        cmp "$work/linux/$output" "$folder/$output"
    done
fi
echo "windows-test: the programs behave under Wine as on Linux"
