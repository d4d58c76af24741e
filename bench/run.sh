#!/usr/bin/env bash
# Builds the report benchmark and runs it on the demo board, the large board and the
# other simulated boards: accesses per report by kind, modelled bus time, the program's
# own CPU time and its ratio to the bus time; the same for one poll of quorvel-export;
# the load and first report of generated profiles of 10 000 and 20 000 items; then the
# window's polling tick under a private X server, and the text mode's start-up and
# memory. With valgrind installed, also the program's own instructions per report and
# per item, counted by callgrind, and how they grow from the large board to one four
# times its size (boards/large-x4.json, made by scripts/make-board.py).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target qv_report_bench -j"$(nproc)" >/dev/null
bench="$build/bench/qv_report_bench"

boards=("" boards/large.json boards/large-x4.json boards/ka7de.json boards/ki5m.json boards/sw4hd.json boards/sw8qd.json boards/sk6bm.json)
echo "== CPU time against a playback of one recorded report"
for board in "${boards[@]}"; do
  "$bench" ${board:+--board "$board"} --reports 5000
done

echo "== quorvel-export: CPU time per poll against a playback of one recorded poll"
cmake --build "$build" --target qv_export_bench -j"$(nproc)" >/dev/null
for board in "" boards/large.json boards/sk6bm.json; do
  "$build/bench/qv_export_bench" ${board:+--board "$board"} --polls 5000
done

cmake --build "$build" --target qv_profile_bench -j"$(nproc)" >/dev/null
"$build/bench/qv_profile_bench" --items 20000

echo "== The window's polling tick: reads, the window's own CPU time, memory"
if command -v xvfb-run >/dev/null; then
  cmake --build "$build" --target qv_window_bench -j"$(nproc)" >/dev/null
  for board in boards/large.json ""; do
    xvfb-run -a -s "-screen 0 1024x768x24" "$build/bench/qv_window_bench" ${board:+--board "$board"} --ticks 200
  done
else
  echo "(skipped: the window needs a display, and xvfb-run is not installed)"
fi

# Start-up and memory of the text mode, on the simulated machine (whose own share is
# small): the time from launch to the report's header line, a first start included,
# and the resident memory once reports are running.
echo "== quorvel -t: launch to the first report line, resident memory while reporting"
cmake --build "$build" --target quorvel-sim -j"$(nproc)" >/dev/null
sandboxes=$(mktemp -d "$PWD/$build/startup-XXXXXX")
for board in "" boards/large.json; do
  start=$EPOCHREALTIME
  coproc SIM { TMPDIR="$sandboxes" exec "$build/quorvel-sim" ${board:+--board "$board"} --fast -- -t -i 1 2>/dev/null; }
  while IFS= read -r line <&"${SIM[0]}"; do [[ $line == "Monitored Item"* ]] && break; done
  ms=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
  sleep 2
  rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$SIM_PID/status")
  kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null || true
  echo "${board:-built-in demo}: first report line after $ms ms, resident $((rss / 1024)) MB"
done
rm -rf "$sandboxes"

command -v valgrind >/dev/null && command -v callgrind_annotate >/dev/null || exit 0
echo "== Instructions per report and per item (callgrind): the program's own, the simulated machine's"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
reports=50
for board in "" boards/large.json boards/large-x4.json boards/ka7de.json boards/ki5m.json; do
  items=$(valgrind --tool=callgrind --callgrind-out-file="$out/cg" --toggle-collect='qv::text_build_Items*' \
    "$bench" ${board:+--board "$board"} --reports "$reports" --untimed 2>/dev/null | sed -n 's/^board: .*(\([0-9]*\) items)$/\1/p')
  # The collected reports: the first one and the loop's. The machine's part is what its
  # entry points (the simulated Os) take, callees included.
  callgrind_annotate --inclusive=yes --threshold=100 "$out/cg" 2>/dev/null | awk -v n=$((reports + 1)) \
    -v items="$items" -v name="${board:-built-in demo}" '
    function num(s) { gsub(",", "", s); return s + 0 }
    /PROGRAM TOTALS/ { total = num($1) }
    /qv::sim::SimOs::[a-z_]+\(/ && /\]$/ { machine += num($1) }
    END { own = (total - machine) / n
          printf "%s: program %.0f per report, %.0f per item (%d items); machine %.0f per report\n",
                 name, own, own / items, items, machine / n
          printf "%s %.0f\n", name, own > "'"$out/own-$(basename "${board:-demo}")"'" }'
done
read -r _ large < "$out/own-large.json"
read -r _ x4 < "$out/own-large-x4.json"
awk -v a="$large" -v b="$x4" 'BEGIN { printf "four times the large board: %.2fx its instructions per report (target < 4.5x)\n", b / a }'
