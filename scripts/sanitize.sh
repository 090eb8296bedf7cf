#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize and
# runs every test there. JOBS sets the parallel jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs="${JOBS:-$(nproc)}"
# The build runs the test binaries to list their tests, so the options apply to it as well.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitize.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTBK_SANITIZE=ON -DTBK_BUILD_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
