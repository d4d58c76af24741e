#!/usr/bin/env bash
# First command: install what the build needs, build, and run the text report on the
# built-in demo board of the simulated machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
./build/quorvel-sim --fast -- -t
