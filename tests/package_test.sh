#!/usr/bin/env bash
# Builds the Debian package of the build, holds it to lintian (no error, no
# warning), unpacks it into a temporary root and checks what a user of it
# gets: the programs beside cy.dat with links on the PATH that work from
# there, the manual pages in both languages, the message catalogue,
# completion, desktop entry, icons, metainfo, the copyright and a changelog
# of the package's version, and the libraries it depends on.
# Usage: package_test.sh BUILD
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack"; }
deb=$(ls "$out"/*.deb)
info=$(dpkg-deb -I "$deb")
for dependency in libqt6widgets6 libicu libopencc; do
  grep -q "^ Depends:.*$dependency" <<<"$info" || fail "the package does not depend on $dependency: $info"
done

# Any error or warning of lintian fails. CI runs as root, which lintian
# refuses unless told.
command -v lintian >/dev/null || fail "lintian is not installed (scripts/deps.sh installs it)"
lintian --allow-root --fail-on error,warning "$deb" >"$out/lintian.log" 2>&1 ||
  { cat "$out/lintian.log"; fail "lintian"; }

root=$out/root
dpkg-deb -x "$deb" "$root"
for f in usr/lib/tessaly/tessaly usr/lib/tessaly/tessaly-find usr/lib/tessaly/tessaly-import usr/lib/tessaly/cy.dat \
         usr/share/man/man1/tessaly-find.1.gz usr/share/man/zh_CN/man1/tessaly-find.1.gz \
         usr/share/locale/zh_CN/LC_MESSAGES/tessaly.mo usr/share/bash-completion/completions/tessaly-find \
         usr/share/applications/tessaly.desktop usr/share/metainfo/io.example.tessaly.metainfo.xml \
         usr/share/icons/hicolor/256x256/apps/tessaly.png; do
  [ -e "$root/$f" ] || fail "missing: $f"
done
# No compressed file has a name or a time in its header (gzip -n), so a
# build gives the same bytes whenever it runs; lintian only sees a time
# later than the changelog's.
while IFS= read -r -d '' gz; do
  header=$(od -An -tx1 -N8 "$gz" | tr -d ' \n')
  [ "${header:6:10}" = 0000000000 ] || fail "${gz#"$root"/} has a name or a time: $(file -b "$gz")"
done < <(find "$root" -name '*.gz' -print0)
# The changelog's latest entry is this version (lintian does not compare).
zcat "$root/usr/share/doc/tessaly/changelog.gz" >"$out/changelog"
logged=$(dpkg-parsechangelog -l "$out/changelog" -S Version)
[ "$logged" = "$(dpkg-deb -f "$deb" Version)" ] ||
  fail "the latest entry of packaging/changelog.in is $logged, the package $(dpkg-deb -f "$deb" Version): add one"
for program in tessaly tessaly-find tessaly-import; do
  [ -L "$root/usr/bin/$program" ] && [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is no working link"
done

# From the unpacked tree: the finder reads the cy.dat beside it, and speaks
# the catalogue's Chinese when asked to.
run() { env -u TESSALY_DATA -u LANGUAGE XDG_DATA_HOME="$out/xdg" LC_ALL=C.UTF-8 "$@"; }
[ "$(run "$root/usr/bin/tessaly-find" 一心一意)" = "一心一意" ] || fail "tessaly-find does not find 一心一意"
[ "$(run "$root/usr/bin/tessaly-find" -m folded 愛不釋手)" = "爱不释手" ] || fail "no traditional characters"
run "$root/usr/bin/tessaly-find" --where | grep -q "^$root/usr/lib/tessaly/cy.dat " || fail "--where"
message=$(run env LANGUAGE=zh_CN "$root/usr/bin/tessaly-find" " " 2>&1 || true)
grep -q "查询为空" <<<"$message" || fail "no Chinese message: $message"
echo "package OK"
