#!/usr/bin/env bash
# Second command: build and run every test, then again under AddressSanitizer and
# UndefinedBehaviorSanitizer, as a 32-bit x86 build under qemu-i386, the window under
# valgrind, and each fuzz target briefly. Prints each stage's time; fails when any test fails
# or the fuzzing finds anything.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
times=""

stage() {
  local name="$1" start=$SECONDS
  shift
  echo "=== $name"
  "$@"
  times+="$(printf '%-10s %5d s' "$name" $((SECONDS - start)))"$'\n'
  echo "=== $name: $((SECONDS - start)) s"
}

build_and_test() {
  local dir="$1"
  shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure -j"$jobs")
}

window_under_valgrind() {
  xvfb-run -a -s "-screen 0 1024x768x24" valgrind --error-exitcode=99 --leak-check=full \
    --errors-for-leak-kinds=definite --suppressions=tests/valgrind.supp --num-callers=40 \
    build/tests/qv_window_tests
}

stage normal build_and_test build -DCMAKE_BUILD_TYPE=RelWithDebInfo
stage sanitize build_and_test build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON
stage i386 build_and_test build-i386 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE=cmake/i386.cmake
stage valgrind window_under_valgrind
# The parsers of what users and firmware control, fuzzed for a short while.
stage fuzz bash scripts/fuzz.sh 20
printf '\nStage times:\n%s' "$times"
