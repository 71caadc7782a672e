#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the installed tree:
# the programs beside cy.dat, the links on the PATH, the manual pages in
# English and Chinese (compressed, read as man reads them), the message
# catalogue, the bash completions, the desktop entry, the icons and the
# AppStream metainfo, and that the window program starts and finds its data.
set -euo pipefail
# One locale for every tool below (widths, col), whatever the caller runs in.
export LC_ALL=C.UTF-8
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in lib/tessaly/tessaly lib/tessaly/tessaly-find lib/tessaly/tessaly-import lib/tessaly/cy.dat \
         share/applications/tessaly.desktop share/metainfo/io.example.tessaly.metainfo.xml \
         share/icons/hicolor/48x48/apps/tessaly.png share/icons/hicolor/256x256/apps/tessaly.png \
         share/bash-completion/completions/tessaly-find share/bash-completion/completions/tessaly-import; do
  [ -e "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
for program in tessaly tessaly-find tessaly-import; do
  [ -L "$prefix/bin/$program" ] || { echo "bin/$program is not a link"; exit 1; }
  page="$prefix/share/man/man1/$program.1.gz"
  [ -e "$page" ] || { echo "missing: $page"; exit 1; }
  # The page renders without a single warning from groff.
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$program.1: $warnings"; exit 1; }
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" | grep -q "EXIT STATUS"
  # The Chinese page too, and none of its lines is wider than the terminal.
  page="$prefix/share/man/zh_CN/man1/$program.1.gz"
  [ -e "$page" ] || { echo "missing: $page"; exit 1; }
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "zh_CN/$program.1: $warnings"; exit 1; }
  shown=$(LC_ALL=C.UTF-8 MANWIDTH=80 MAN_KEEP_FORMATTING= man -l "$page" | col -b)
  grep -q "退出状态" <<<"$shown"
  wide=$(awk '{ if (length($0) > 0) print }' <<<"$shown" | while IFS= read -r line; do
           w=$(printf '%s' "$line" | wc -L); [ "$w" -le 80 ] || echo "$w: $line"; done)
  [ -z "$wide" ] || { echo "zh_CN/$program.1 wider than 80 columns:"; echo "$wide"; exit 1; }
done
[ -e "$prefix/share/locale/zh_CN/LC_MESSAGES/tessaly.mo" ] || { echo "missing: tessaly.mo"; exit 1; }

# The completions offer the modes after --mode and the options after a dash.
complete_words() {
  bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    "$(complete -p "$1" | sed "s/.*-F \([^ ]*\) .*/\1/")" "$1" "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$@"
}
completions=$prefix/share/bash-completion/completions
[ "$(complete_words "$completions/tessaly-find" tessaly-find --mode p | tr '\n' ' ')" = "precise pinyin pattern " ]
complete_words "$completions/tessaly-import" tessaly-import --al | grep -qx -- "--allow-empty"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tessaly.desktop"
else
  echo "desktop-file-validate not installed: skipped"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --explain "$prefix/share/metainfo/io.example.tessaly.metainfo.xml"
else
  echo "appstreamcli not installed: skipped"
fi

# The project licence matches the metainfo.
grep -q "<project_license>MIT</project_license>" "$prefix/share/metainfo/io.example.tessaly.metainfo.xml"
head -1 "$(dirname "$0")/../LICENSE" | grep -qx "MIT License"

# The command-line finder through its link finds cy.dat beside the program.
[ "$("$prefix/bin/tessaly-find" 一心一意)" = "一心一意" ]

# The window program through its link: it loads cy.dat and keeps running.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/tessaly" 2>"$prefix/err" || status=$?
if [ "$status" -ne 124 ]; then
  echo "tessaly ended with $status:"; cat "$prefix/err"; exit 1
fi
# Without cy.dat it reports the failed load and ends.
rm "$prefix/lib/tessaly/cy.dat"
status=0
QT_QPA_PLATFORM=offscreen timeout 10 "$prefix/bin/tessaly" 2>"$prefix/err" || status=$?
[ "$status" -eq 1 ] || { echo "without cy.dat: status $status"; exit 1; }
grep -q "加载成语文件 cy.dat 失败！" "$prefix/err"
echo "installed tree OK"
