#!/usr/bin/env bash
# Sets up what is missing, builds and runs the whole test suite (headless).
#   ./test.sh [ctest options]             Release build in build/
#   ./test.sh --sanitize [ctest options]  the whole project again in build-sanitize/, built with
#                                         AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer;
#                                         the tests that start Korvante, Korvante_PRINT and
#                                         Korvante_PREPARAR start the sanitized programs of that build.
set -euo pipefail
cd "$(dirname "$0")"
build=build
options=()
if [ "${1:-}" = --sanitize ]; then
  shift
  build=build-sanitize
  options=(-DKORVANTE_SANITIZE=ON)
  # Any finding ends the program with an error, so its test fails.
  #   detect_leaks=1        LeakSanitizer at every program's end (suppressions: third-party libraries only)
  #   abort_on_error=1      a finding ends the program like a crash, never as a clean exit
  #   detect_stack_use_after_return=1, check_initialization_order=1, strict_init_order=1: the stricter checks
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
  export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizer-suppressions.txt:print_suppressions=0"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
scripts/install-packages.sh
scripts/install-node-modules.sh
scripts/check-structure.sh
# TODO: check the format once the tree has been reformatted in one go (scripts/format.sh).
# scripts/check-format.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
