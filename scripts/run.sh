#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tovan2000. Without a display (or while the
# desktop application is not built) it checks the example decks with tovandeck instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc 2>/dev/null || echo 2)"

app=build/bin/tovan2000
if [ -x "$app" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; }; then
    exec "$app" "$@"
fi

echo "No display found: checking the example decks with tovandeck instead."
status=0
for deck in examples/*.tvi; do
    echo "== $deck"
    build/bin/tovandeck check "$deck" || status=$?
done
exit "$status"
