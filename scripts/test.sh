#!/usr/bin/env bash
# Builds Tessaly and runs every test. With --sanitize, builds and tests
# under AddressSanitizer and UndefinedBehaviorSanitizer instead (in
# build-asan/); with --tsan, the core and its threads under
# ThreadSanitizer (in build-tsan/, no window).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=build
options=()
case "${1:-}" in
  --sanitize)
    build=build-asan
    options=(-DTESSALY_SANITIZE=ON -DTESSALY_BUILD_BENCH=OFF)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ;;
  --tsan)
    build=build-tsan
    options=(-DTESSALY_TSAN=ON -DTESSALY_BUILD_GUI=OFF -DTESSALY_BUILD_BENCH=OFF)
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
    ;;
esac
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
cmake --build "$build" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
