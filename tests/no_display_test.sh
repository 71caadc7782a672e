#!/usr/bin/env bash
# The window program without a display: without DISPLAY, and with a DISPLAY
# that no X server answers, it says so in one line and ends with status 1
# (no abort); --version and --help answer all the same.
# Usage: no_display_test.sh PROGRAM VERSION
set -uo pipefail
program=$1
version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# run ARGS...: runs the program without any display; sets status and leaves
# its output in $out/stdout and $out/stderr.
run() {
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$out/stdout" 2>"$out/stderr" || status=$?
}

expect_no_display() {
  local what=$1 reason=$2
  [ "$status" -eq 1 ] || fail "$what: status $status, not 1"
  [ ! -s "$out/stdout" ] || fail "$what: wrote to stdout"
  [ "$(wc -l <"$out/stderr")" -eq 1 ] || fail "$what: not one line: $(cat "$out/stderr")"
  grep -q "^tessaly: no display to open a window on ($reason); .*xvfb-run -a " "$out/stderr" ||
    fail "$what: $(cat "$out/stderr")"
}

run "$program"
expect_no_display "no DISPLAY" "DISPLAY and WAYLAND_DISPLAY are unset"

# A stale DISPLAY: a number below the ones xvfb-run -a takes (99 up) with
# neither a socket nor a lock file of a server.
for n in $(seq 42 98); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
run DISPLAY=":$n" "$program"
expect_no_display "DISPLAY=:$n" "cannot connect to the X server of DISPLAY=:$n"

run "$program" --version
[ "$status" -eq 0 ] || fail "--version: status $status"
[ "$(head -n 1 "$out/stdout")" = "tessaly (Tessaly) $version" ] || fail "--version: $(cat "$out/stdout")"

run "$program" --help
[ "$status" -eq 0 ] || fail "--help: status $status"
grep -q "^Usage: .*tessaly \[--data FILE\]$" "$out/stdout" || fail "--help: $(cat "$out/stdout")"
grep -q "cy.dat" "$out/stdout" || fail "--help does not name cy.dat"
grep -q -- "--data FILE" "$out/stdout" || fail "--help does not list --data"
grep -q -- "--version" "$out/stdout" || fail "--help does not list --version"
echo "no display OK"
