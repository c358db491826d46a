#!/bin/sh
# Configures and builds zukaro into ./build (Release with debug info). Extra arguments go to
# cmake's configure step.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
