#!/bin/sh
# Times the start-up to the start screen shown, as a whole process under Xvfb (not a test).
# The hidden flag --quit-when-shown ends the program once its first window is painted.
# Goal: under 400 ms. Needs a build (scripts/build.sh).
set -eu
cd "$(dirname "$0")/.."
exec xvfb-run -a -s '-screen 0 1600x1200x24' \
  hyperfine --warmup 3 --runs "${RUNS:-30}" "$@" './build/zukaro --quit-when-shown'
