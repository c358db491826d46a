#!/bin/sh
# Installs the dependencies, builds, and starts zukaro.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
exec ./build/zukaro "$@"
