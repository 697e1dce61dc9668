#!/usr/bin/env bash
# Fuzzes every reader of outside input: builds the targets of tests/fuzz/targets with clang-16
# (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for SECONDS
# (default 600), two at a time, starting from its committed corpus (tests/fuzz/corpus/<target>/).
# Inputs that found a fault are left in build-fuzz/findings/<target>/: add each to the committed
# corpus with the fix, so the suite's corpus run keeps it fixed.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
scripts/install-packages.sh
out=build-fuzz
if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(ls tests/fuzz/targets/*.cpp | xargs -n1 basename | sed 's/\.cpp$//')
fi
# What the readers call (the database, the code page, ...) comes from the normal build's library.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target korvante_logic
CC=clang-16 CXX=clang++-16 cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DKORVANTE_FUZZ=ON \
  -DKORVANTE_LOGIC_LIBRARY="$PWD/build/src/libkorvante_logic.a" >/dev/null
cmake --build "$out" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

run_one() {
  local t=$1 seconds=$2 out=$3
  rm -rf "$out/findings/$t"
  mkdir -p "$out/corpus/$t" "$out/findings/$t" "$out/logs"
  : >"$out/logs/$t.log"
  # New inputs go to the working corpus (first folder); the committed one is only read. After a
  # finding the fuzzer starts again (with what it learnt) until the time is used up.
  local end=$((SECONDS + seconds)) left
  while left=$((end - SECONDS)); [ "$left" -gt 0 ]; do
    QT_QPA_PLATFORM=offscreen "$out/tests/fuzz/fuzz_$t" -max_total_time="$left" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$out/findings/$t/" "$out/corpus/$t" "tests/fuzz/corpus/$t" >>"$out/logs/$t.log" 2>&1 || true
  done
}
export -f run_one
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$out"

found=0
printf '%-20s %14s %8s %9s\n' target executions corpus findings
for t in "${targets[@]}"; do
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/logs/$t.log" | awk '{n += $2} END {print n + 0}')
  size=$(ls "$out/corpus/$t" | wc -l)
  n=$(ls "$out/findings/$t" | wc -l)
  found=$((found + n))
  printf '%-20s %14s %8s %9s\n' "$t" "${runs:-?}" "$size" "$n"
done
[ "$found" -eq 0 ]
