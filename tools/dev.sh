#!/usr/bin/env bash
# One entry point for setting up, building, running and testing Ombrix on a
# Debian 12 machine.
#
#   tools/dev.sh run     install what is missing, build, start the editor
#   tools/dev.sh test    install what is missing, build, run every test
#                        (plain build, ASan+UBSan build, three bounded fuzz runs)
#   tools/dev.sh deps    only install the Debian packages
#   tools/dev.sh build   only build (Release, into build/)
#   tools/dev.sh bench   build and run the solver benchmark
#
# OMBRIX_REQUIRE_CORPUS=ON (as CI sets it) makes a missing ../shared/corpus a
# failure; otherwise the tests that read it skip and say so.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc 2>/dev/null || echo 2)"

PACKAGES=(
    build-essential cmake ninja-build pkg-config clang
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-translations-l10n libgl-dev
    fonts-ipafont-gothic fonts-ipafont-mincho
    poppler-utils xvfb xauth
    gringo
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

deps() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "== installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
            --no-install-recommends "${missing[@]}"
    fi
}

configure_build() { # dir, extra cmake args...
    local dir="$1"
    shift
    cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja \
        -DOMBRIX_REQUIRE_CORPUS="${OMBRIX_REQUIRE_CORPUS:-OFF}" "$@" >/dev/null
    cmake --build "$ROOT/$dir" -j "$JOBS"
}

build() { configure_build build -DCMAKE_BUILD_TYPE=Release; }

run_tests() {
    export QT_QPA_PLATFORM=offscreen QTEST_FUNCTION_TIMEOUT=120000
    unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI
    echo "== build and test (Release)"
    build
    ctest --test-dir "$ROOT/build" --output-on-failure -j "$JOBS"

    echo "== build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
    configure_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOMBRIX_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir "$ROOT/build-asan" --output-on-failure -j "$JOBS"

    if [ -f "$ROOT/tests/fuzz/CMakeLists.txt" ]; then
        echo "== fuzzing the readers and the solver"
        CC=clang CXX=clang++ configure_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DOMBRIX_FUZZ=ON -DOMBRIX_GUI=OFF -DOMBRIX_TESTS=OFF
        "$ROOT/tests/fuzz/run-fuzz.sh" "$ROOT/build-fuzz" "${FUZZ_SECONDS:-20}"
    fi
}

case "${1:-}" in
deps) deps ;;
build) deps && build ;;
run)
    deps
    build
    if [ -x "$ROOT/build/app/ombrix" ]; then
        exec "$ROOT/build/app/ombrix" "${@:2}"
    else
        exec "$ROOT/build/cli/ombrix-cli" --help
    fi
    ;;
test) deps && run_tests ;;
bench) deps && build && "$ROOT/build/bench/ombrix-bench" "${@:2}" ;;
*)
    sed -n '2,15p' "$0"
    exit 1
    ;;
esac
