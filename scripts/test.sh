#!/usr/bin/env bash
# Second command: build and run every test, then again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then fuzz the parsers for a short while. Fails when any
# test fails or the fuzzing finds anything.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ctest --output-on-failure -j"$jobs")
# The parsers of what users and firmware control, fuzzed for a short while.
bash scripts/fuzz.sh 20
