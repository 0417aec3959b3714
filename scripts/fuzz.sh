#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds; default 60):
# deck_fuzz on a corpus seeded with the example and test decks, results_fuzz on one seeded with
# the results files of the test cases, recovery_fuzz (the grids document of a recovery file) on
# one seeded with the grids files of the examples and test cases. A crash leaves its input as crash-* in build-fuzz/; copy
# it into tests/data/fuzz-regressions/ (a deck) or tests/data/fuzz-regressions/results/ (a
# results file) so that it becomes a test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target deck_fuzz results_fuzz recovery_fuzz -j "$(nproc 2>/dev/null || echo 2)"

mkdir -p build-fuzz/corpus build-fuzz/results-corpus build-fuzz/recovery-corpus
cp -n examples/*.tvi tests/data/*.tvi tests/data/fuzz-regressions/*.tvi build-fuzz/corpus/ \
    2>/dev/null || true
n=0
for seed in tests/cases/*/*.results.json tests/cases/*/out/*.results.json \
    tests/data/fuzz-regressions/results/*; do
    if [ -f "$seed" ]; then
        cp -n "$seed" "build-fuzz/results-corpus/seed-$n.json"
        n=$((n + 1))
    fi
done

n=0
for seed in examples/*.json tests/cases/*/grids.json; do
    if [ -f "$seed" ]; then
        cp -n "$seed" "build-fuzz/recovery-corpus/seed-$n.json"
        n=$((n + 1))
    fi
done

cd build-fuzz
for target in deck_fuzz results_fuzz recovery_fuzz; do
    case "$target" in
    deck_fuzz) corpus=corpus ;;
    results_fuzz) corpus=results-corpus ;;
    *) corpus=recovery-corpus ;;
    esac
    echo "== $target for $seconds s"
    "./fuzz/$target" -max_total_time="$seconds" -max_len=20000 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus"
done
