#!/usr/bin/env bash
# What an administrator gets: the staged install, the manual page and the Debian packages.
set -u
src="$1" build="$2"
status=0
fail() { echo "$1"; status=1; }
scratch=$(mktemp -d "$build/packaging-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

for page in quorvel.8 quorvel-export.8; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$src/docs/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
done

# A staged install puts the databases under the staging root once, and never over an
# administrator's copy.
stage="$scratch/stage"
DESTDIR="$stage" cmake --install "$build" >/dev/null || fail "staged install failed"
[ -f "$stage/etc/AllQuorvel.ini" ] && [ ! -e "$stage$stage" ] || fail "databases not in the staging root's /etc"
echo "edited" >"$stage/etc/OldRevMB.ini"
DESTDIR="$stage" cmake --install "$build" >/dev/null
[ "$(cat "$stage/etc/OldRevMB.ini")" = edited ] || fail "install overwrote a database"
[ ! -e "$stage/usr/local/bin/quorvel-sim" ] || fail "a plain install carries the simulator"

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null) || fail "cpack failed"
deb=$(ls "$scratch"/quorvel_*.deb) && sim=$(ls "$scratch"/quorvel-sim_*.deb) || { echo "packages missing"; exit 1; }
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for f in usr/local/sbin/quorvel usr/local/sbin/quorvel-export etc/AllQuorvel.ini etc/OldRevMB.ini \
  etc/OldRevMB_2.ini etc/OldRevMB_3.ini usr/local/share/pixmaps/quorvel/idr_main.ico \
  usr/local/share/man/man8/quorvel.8 usr/local/share/man/man8/quorvel-export.8 \
  usr/local/lib/systemd/system/quorvel-export.service; do
  [ -f "$root/$f" ] || fail "quorvel package lacks /$f"
done
dpkg-deb -c "$deb" | grep -q quorvel-sim && fail "the simulator is in the product package"
dpkg-deb -c "$sim" | grep -q 'bin/quorvel-sim$' || fail "quorvel-sim package lacks the simulator"
[ "$(dpkg-deb -I "$deb" conffiles | sort | tr '\n' ' ')" = \
  "/etc/AllQuorvel.ini /etc/OldRevMB.ini /etc/OldRevMB_2.ini /etc/OldRevMB_3.ini " ] ||
  fail "conffiles: $(dpkg-deb -I "$deb" conffiles)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libgtk2.0-0 libglib2.0-0; do
  [[ "$depends" == *"$lib "* ]] || fail "Depends lacks $lib: $depends"
done
exit $status
