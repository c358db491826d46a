#!/bin/sh
# Installs everything zukaro needs to build, run, test and benchmark on Debian 12.
# Idempotent and non-interactive; runs apt through sudo when not root.
set -eu

PACKAGES="
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n libgl-dev
  fonts-ipafont fonts-ipafont-mincho fonts-ipafont-gothic
  zbar-tools libzxing-dev poppler-utils
  cups cups-client cups-bsd printer-driver-cups-pdf libcups2-dev
  libbenchmark-dev hyperfine
  clang libclang-rt-14-dev
  xvfb xauth imagemagick openbox x11-utils xdotool
  strace
  desktop-file-utils appstream
  dpkg-dev help2man lintian man-db
  libquazip1-qt6-dev libqt6sql6-sqlite libqt6sql6-psql libpq-dev postgresql python3 python3-openpyxl
"

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi
