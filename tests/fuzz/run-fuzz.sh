#!/usr/bin/env bash
# Fuzzes the puzzle file reader for a bounded time and fails if anything is
# found.
#
#   tests/fuzz/run-fuzz.sh BUILD_DIR [SECONDS]      (default 60 s)
#
# BUILD_DIR is a build configured with CC=clang CXX=clang++ -DOMBRIX_FUZZ=ON.
# The corpus starts from the committed seeds (tests/fuzz/seeds, written by
# the project's own writer) and a few real puzzles of the shared corpus,
# converted to .omx in a scratch folder at run time; nothing is written into
# the source tree. Inputs that break a check are kept in
# BUILD_DIR/fuzz-artifacts/ and shown in hex.
set -euo pipefail

BUILD="$(cd "${1:?usage: run-fuzz.sh BUILD_DIR [SECONDS]}" && pwd)"
TIME="${2:-60}"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
FUZZER="$BUILD/tests/fuzz/fuzz_omx"
CLI="$BUILD/cli/ombrix-cli"
CORPUS_DIR="${OMBRIX_CORPUS_DIR:-$ROOT/../shared/corpus}"

if [ ! -x "$FUZZER" ]; then
    echo "run-fuzz: $FUZZER is not built (configure with -DOMBRIX_FUZZ=ON)" >&2
    exit 1
fi

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/corpus" "$WORK/artifacts"
cp "$HERE"/seeds/*.omx "$WORK/corpus/"

# Real puzzles of several sizes: every 25th grid, as an edit-phase file and as
# the file saved after the automatic solver.
if [ -x "$CLI" ] && [ -d "$CORPUS_DIR/real" ]; then
    i=0
    for grid in "$CORPUS_DIR"/real/*.grid; do
        i=$((i + 1))
        [ $((i % 25)) -eq 1 ] || continue
        name="$(basename "$grid" .grid)"
        "$CLI" convert "$grid" "$WORK/corpus/$name.omx" >/dev/null 2>&1 || true
        "$CLI" solve "$grid" --out "$WORK/corpus/$name-solved.omx" >/dev/null 2>&1 || true
    done
fi
echo "== fuzzing the puzzle file reader for ${TIME}s from $(ls "$WORK/corpus" | wc -l) seed files"

status=0
"$FUZZER" -max_total_time="$TIME" -timeout=10 -rss_limit_mb=2048 -max_len=6000 \
    -print_final_stats=1 -artifact_prefix="$WORK/artifacts/" "$WORK/corpus" \
    >"$WORK/log" 2>&1 || status=$?

found=("$WORK"/artifacts/*)
if [ "$status" -ne 0 ] || [ -e "${found[0]}" ]; then
    echo "run-fuzz: the fuzzer found a problem (exit $status):" >&2
    grep -v -E '^#[0-9]+' "$WORK/log" | tail -n 60 >&2
    mkdir -p "$BUILD/fuzz-artifacts"
    for f in "${found[@]}"; do
        [ -e "$f" ] || continue
        cp "$f" "$BUILD/fuzz-artifacts/"
        echo "-- $BUILD/fuzz-artifacts/$(basename "$f"):" >&2
        od -A d -t u1 "$f" | head -n 20 >&2
    done
    exit 1
fi
grep -E '^stat::(number_of_executed_units|peak_rss_mb|new_units_added)' "$WORK/log" || true
echo "run-fuzz: nothing found"
