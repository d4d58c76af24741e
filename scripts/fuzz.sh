#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS seconds on a copy
# of its seeds (tests/fuzz/corpus/<target>). Prints the executions of each target and
# fails on any finding; the input that found it is kept in build-fuzz/findings.
#   scripts/fuzz.sh SECONDS [TARGET...]   (all targets when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}"
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(dmi_table kernel_lists profile_loader board_database ipmi_answers)

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/qv_fuzz_}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="$PWD/build-fuzz/findings"
mkdir -p "$findings"
status=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  cp tests/fuzz/corpus/"$target"/* "$work/$target"/
  log="$work/$target.log"
  # The program's own messages would flood the log; libFuzzer keeps its reports.
  if build-fuzz/tests/fuzz/qv_fuzz_"$target" -max_total_time="$seconds" -timeout=10 -close_fd_mask=3 \
       -print_final_stats=1 -artifact_prefix="$findings/$target-" "$work/$target" >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    printf '%-16s %12s executions in %ss\n' "$target" "${runs:-?}" "$seconds"
  else
    printf '%-16s FAILED\n' "$target"
    tail -n 60 "$log"
    status=1
  fi
done
exit "$status"
