#!/bin/sh
# Installs the dependencies, builds, and runs the whole test suite headless.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen QTEST_DISABLE_STACK_DUMP=1
cd build
ctest --output-on-failure --parallel "$(nproc)"
