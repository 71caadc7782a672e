#!/usr/bin/env bash
# The build places the bundled cy.dat beside its programs, but never over a
# table someone changed there since: configuring again keeps it.
# Usage: place_table_test.sh SOURCE
set -euo pipefail
source=$1
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
configure() {
  cmake -S "$source" -B "$build" -DTESSALY_BUILD_GUI=OFF -DTESSALY_BUILD_TESTS=OFF -DTESSALY_BUILD_BENCH=OFF \
    >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; fail "configure"; }
}

configure
cmp -s "$source/data/cy.dat" "$build/bin/cy.dat" || fail "the bundled table is not placed"
printf 'x#x#x#x#x#x\r\n' >>"$build/bin/cy.dat"
cp "$build/bin/cy.dat" "$build/changed.dat"
configure
cmp -s "$build/changed.dat" "$build/bin/cy.dat" || fail "a changed table was overwritten"
grep -q "Keeping .*cy.dat" "$build/configure.log" || fail "keeping it is not said"
rm "$build/bin/cy.dat"
configure
cmp -s "$source/data/cy.dat" "$build/bin/cy.dat" || fail "a removed table is not placed again"
echo "placing the table OK"
