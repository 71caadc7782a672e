#!/usr/bin/env bash
# Builds the Debian package of the build, unpacks it into a temporary root
# and checks what a user of it gets: the programs beside cy.dat with links
# on the PATH that work from there, the manual pages in both languages, the
# message catalogue, completion, desktop entry, icons, metainfo, and the
# libraries it depends on.
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

root=$out/root
dpkg-deb -x "$deb" "$root"
for f in usr/lib/tessaly/tessaly usr/lib/tessaly/tessaly-find usr/lib/tessaly/tessaly-import usr/lib/tessaly/cy.dat \
         usr/share/man/man1/tessaly-find.1.gz usr/share/man/zh_CN/man1/tessaly-find.1.gz \
         usr/share/locale/zh_CN/LC_MESSAGES/tessaly.mo usr/share/bash-completion/completions/tessaly-find \
         usr/share/applications/tessaly.desktop usr/share/metainfo/io.example.tessaly.metainfo.xml \
         usr/share/icons/hicolor/256x256/apps/tessaly.png; do
  [ -e "$root/$f" ] || fail "missing: $f"
done
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
