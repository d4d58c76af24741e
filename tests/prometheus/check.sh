#!/usr/bin/env bash
# quorvel-export's OpenMetrics on every simulated board, as Prometheus' own tools see it.
#   check.sh promtool SIM SOURCE       promtool accepts the exposition
#   check.sh node-exporter SIM SOURCE  the node exporter's textfile collector serves every
#                                      item with the value the text report shows
# Exits 77 (skipped) when the tool is not installed.
set -u
mode="$1" sim="$2" source="$3"
work=$(mktemp -d)
exporter_pid=
cleanup() {
  [ -n "$exporter_pid" ] && kill "$exporter_pid" 2>/dev/null && wait "$exporter_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

case "$mode" in
promtool)
  command -v promtool >/dev/null || { echo "promtool is not installed (package prometheus): skipped"; exit 77; } ;;
node-exporter)
  node_exporter=$(command -v prometheus-node-exporter || command -v node_exporter) ||
    { echo "the node exporter is not installed (package prometheus-node-exporter): skipped"; exit 77; }
  command -v curl >/dev/null || { echo "curl is not installed: skipped"; exit 77; } ;;
*) echo "usage: $0 promtool|node-exporter SIM SOURCE"; exit 2 ;;
esac

textdir="$work/textfiles"
mkdir -p "$textdir"
port=
# A port of its own: another run may hold the first one tried.
start_exporter() {
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    port=$((20000 + RANDOM % 40000))
    "$node_exporter" --collector.disable-defaults --collector.textfile \
      --collector.textfile.directory="$textdir" --web.listen-address="127.0.0.1:$port" 2>"$work/exporter.log" &
    exporter_pid=$!
    for _ in $(seq 50); do
      curl -sf "http://127.0.0.1:$port/metrics" >/dev/null && return 0
      kill -0 "$exporter_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$exporter_pid" 2>/dev/null
    wait "$exporter_pid" 2>/dev/null
    exporter_pid=
  done
  cat "$work/exporter.log"
  return 1
}
[ "$mode" = node-exporter ] && { start_exporter || { echo "FAIL: the node exporter did not start"; exit 1; }; }

# Every report row's status next to the reading the scrape has for that name.
compare() {
  awk -v board="$1" '
    function unescape(s) { gsub(/\\"/, "\"", s); gsub(/\\\\/, "\\", s); return s }
    function trim(s) { sub(/^ +/, "", s); sub(/ +$/, "", s); return s }
    FNR == NR {
      if ($0 !~ /^quorvel_(fan_speed_rpm|voltage_volts|temperature_celsius|switch_state|read_failed)\{/) next
      family = substr($0, 1, index($0, "{") - 1)
      match($0, /name="([^"\\]|\\.)*"/)
      name = unescape(substr($0, RSTART + 6, RLENGTH - 7))
      if (family == "quorvel_read_failed") { known[name] = 1; next }
      reading[name] = $NF; kind[name] = family
      next
    }
    /^-----/ { inside = !inside; if (!inside) exit; next }
    !inside || /^Error: / { next }
    {
      n = length($0); name = trim(substr($0, 1, n - 44)); shown = trim(substr($0, n - 20, 10))
      if (!(name in known)) { print "FAIL: " board ": " name " is not served"; bad = 1; next }
      rows++
      if (!(name in reading)) next
      value = reading[name]
      if (kind[name] == "quorvel_switch_state") want = shown == "Good" || shown == "Normal" ? 0 : shown == "Bad" ? 1 : 2
      # The report rounds single-precision volts to two places.
      else if (kind[name] == "quorvel_voltage_volts") { want = shown; if ((value - shown) ^ 2 <= 0.0051 ^ 2) value = shown }
      else if (shown ~ /^-?[0-9]+(\/-?[0-9]+)?$/) { split(shown, part, "/"); want = part[1] }
      else next  # thermal levels are words in the report
      if (value != want) { print "FAIL: " board ": " name " served " value ", the report shows " shown; bad = 1 }
      checked++
    }
    END {
      if (rows == 0 || checked == 0) { print "FAIL: " board ": no item compared"; bad = 1 }
      exit bad
    }' "$2" "$3"
}

for board in "$source"/boards/*.json; do
  name=$(basename "$board" .json)
  root="$work/$name"
  mkdir -p "$root/var/lib/node-exporter"
  "$sim" --fast --root "$root" --board "$board" -- -t >"$work/report" 2>/dev/null ||
    { fail "$name: the text report failed"; continue; }
  "$sim" --fast --root "$root" --board "$board" --program export -- --textfile /var/lib/node-exporter/quorvel.prom \
    2>"$work/export.err" || { fail "$name: quorvel-export failed: $(tail -n 1 "$work/export.err")"; continue; }
  prom="$root/var/lib/node-exporter/quorvel.prom"
  if [ "$mode" = promtool ]; then
    said=$(promtool check metrics <"$prom" 2>&1) || fail "$name: promtool: $said"
    continue
  fi
  cp "$prom" "$textdir/quorvel.prom"
  curl -sf "http://127.0.0.1:$port/metrics" >"$work/scrape" || { fail "$name: the scrape failed"; continue; }
  grep -q '^node_textfile_scrape_error 0$' "$work/scrape" || fail "$name: the collector refused the file"
  compare "$name" "$work/scrape" "$work/report" || status=1
done
[ "$status" = 0 ] && echo "all boards passed ($mode)"
exit "$status"
