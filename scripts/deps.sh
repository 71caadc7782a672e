#!/usr/bin/env bash
# Installs the Debian packages Tessaly needs to build, test and run, when
# any of them is missing. Safe to run again: installed packages are skipped.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libicu-dev libopencc-dev libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  fonts-arphic-uming
  desktop-file-utils appstream
  libxcb1-dev xvfb xauth                      # the window's frame hints; xvfb-run for tests and no display
  util-linux locales man-db groff-base bash-completion   # the command-line tests
  unicode-data bzip2                          # the readings the strict check holds pinyin against
  gettext                                     # the message catalogues
  dpkg-dev file lintian                       # the Debian package (cpack, dpkg-shlibdeps, its check)
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
