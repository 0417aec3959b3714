#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for a bounded time (seconds; default 60)
# on a corpus seeded with the example decks and the test decks. A crash leaves its input as
# crash-* in build-fuzz/; copy it into tests/data/fuzz-regressions/ so that it becomes a test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target deck_fuzz -j "$(nproc 2>/dev/null || echo 2)"

corpus=build-fuzz/corpus
mkdir -p "$corpus"
cp -n examples/*.tvi tests/data/*.tvi tests/data/fuzz-regressions/* "$corpus"/ 2>/dev/null || true
cd build-fuzz
./fuzz/deck_fuzz -max_total_time="$seconds" -max_len=20000 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 corpus
