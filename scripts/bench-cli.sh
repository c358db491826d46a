#!/bin/sh
# Whole-process timings of the command line with hyperfine (goal: --print-pdf of a full sheet
# under 100 ms). Not part of the test suite. Builds first; extra arguments go to hyperfine,
# e.g. --export-json times.json.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
sheet=cli/tests/data/full_sheet.csv
# Like a script on a server: no display, no CUPS server, no data.txt of the user's.
export XDG_CONFIG_HOME="$out/config" CUPS_SERVER="$out/no-cups.sock"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
hyperfine --warmup 5 --runs "${RUNS:-50}" -N "$@" \
  --command-name "version (start-up alone)" "build/zukaro --version" \
  --command-name "print-pdf, full sheet, 600 dpi" "build/zukaro --print-pdf $sheet $out/sheet.pdf" \
  --command-name "preview-png, full sheet, 50 %" "build/zukaro --preview-png $sheet $out/sheet.png"
