#!/usr/bin/env bash
# Builds the Debian package from build/, installs it as a user would (dpkg, as root or through
# sudo), checks the installed programs and desktop files, and removes the package again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target package -j "$(nproc 2>/dev/null || echo 2)"

deb=$(ls build/tovan2000_*_amd64.deb)
echo "package-test: $deb, $(du -k "$deb" | cut -f1) KiB"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo dpkg -i "$deb"
trap '$sudo dpkg -P tovan2000 >/dev/null' EXIT

/usr/bin/tovandeck --version
/usr/bin/tovan2000 --version
/usr/bin/tovandeck check /usr/share/doc/tovan2000/examples/one-hour.tvi
desktop-file-validate /usr/share/applications/tovan2000.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.tovan2000.Tovan2000.metainfo.xml
grep -q '^50:application/x-tovan-deck:\*\.tvi$' /usr/share/mime/globs2
test -f /usr/share/man/man1/tovandeck.1.gz -a -f /usr/share/man/man1/tovan2000.1.gz
# A run finds the engine in its private folder.
work=$(mktemp -d)
trap '$sudo dpkg -P tovan2000 >/dev/null; rm -rf "$work"' EXIT
cp /usr/share/doc/tovan2000/examples/engine-demo.tvi "$work/storm.tvi"
/usr/bin/tovandeck run "$work/storm.tvi"
test -s "$work/storm.tvo"
echo "package-test: the installed package works"
