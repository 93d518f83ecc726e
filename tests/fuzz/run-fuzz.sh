#!/usr/bin/env bash
# Runs the three fuzzers for a bounded time each and fails if anything is
# found: the puzzle file reader (fuzz_omx), the grid text reader and writer
# (fuzz_grid_text), and the solver on what the readers accept (fuzz_solve).
#
#   tests/fuzz/run-fuzz.sh BUILD_DIR [SECONDS]      (default 40 s per fuzzer)
#
# BUILD_DIR is a build configured with CC=clang CXX=clang++ -DOMBRIX_FUZZ=ON.
# The corpora start from the project's own puzzles: the committed .omx seeds
# (tests/fuzz/seeds, written by the project's own writer), the grids of
# tests/data, and a few real puzzles of the shared corpus, converted to .omx
# in a scratch folder at run time; nothing is written into the source tree.
# Inputs that break a check are kept in BUILD_DIR/fuzz-artifacts/ and shown
# in hex.
set -euo pipefail

BUILD="$(cd "${1:?usage: run-fuzz.sh BUILD_DIR [SECONDS]}" && pwd)"
TIME="${2:-40}"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
CLI="$BUILD/cli/ombrix-cli"
CORPUS_DIR="${OMBRIX_CORPUS_DIR:-$ROOT/../shared/corpus}"

for name in fuzz_omx fuzz_grid_text fuzz_solve; do
    if [ ! -x "$BUILD/tests/fuzz/$name" ]; then
        echo "run-fuzz: $BUILD/tests/fuzz/$name is not built (configure with -DOMBRIX_FUZZ=ON)" >&2
        exit 1
    fi
done

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/corpus" "$WORK/grid" "$WORK/solve"
cp "$HERE"/seeds/*.omx "$WORK/corpus/"
cp "$ROOT"/tests/data/*.grid "$WORK/grid/"
cp "$ROOT"/tests/data/*.grid "$HERE"/seeds/*.omx "$WORK/solve/"

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
        cp "$grid" "$WORK/grid/"
    done
fi

# fuzz NAME CORPUS WHAT: runs one fuzzer; fails the script on a finding.
fuzz() {
    local name="$1" corpus="$2" status=0
    local artifacts="$WORK/artifacts-$name"
    mkdir -p "$artifacts"
    echo "== fuzzing $3 for ${TIME}s from $(ls "$corpus" | wc -l) seed files"
    "$BUILD/tests/fuzz/$name" -max_total_time="$TIME" -timeout=20 -rss_limit_mb=2048 \
        -max_len=6000 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
        >"$WORK/$name.log" 2>&1 || status=$?
    local found=("$artifacts"/*)
    if [ "$status" -ne 0 ] || [ -e "${found[0]}" ]; then
        echo "run-fuzz: $name found a problem (exit $status):" >&2
        grep -v -E '^#[0-9]+' "$WORK/$name.log" | tail -n 60 >&2
        mkdir -p "$BUILD/fuzz-artifacts"
        for f in "${found[@]}"; do
            [ -e "$f" ] || continue
            cp "$f" "$BUILD/fuzz-artifacts/$name-$(basename "$f")"
            echo "-- $BUILD/fuzz-artifacts/$name-$(basename "$f"):" >&2
            od -A d -t u1 "$f" | head -n 20 >&2
        done
        exit 1
    fi
    grep -E '^stat::(number_of_executed_units|peak_rss_mb|new_units_added)' "$WORK/$name.log" || true
}

fuzz fuzz_omx "$WORK/corpus" "the puzzle file reader"
fuzz fuzz_grid_text "$WORK/grid" "the grid text reader and writer"
fuzz fuzz_solve "$WORK/solve" "the solver on what the readers accept"
echo "run-fuzz: nothing found"
