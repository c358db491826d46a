#!/bin/sh
# Installs the dependencies, builds, and runs the whole test suite headless.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
# The fuzz targets need clang and their own build folder; the main suite runs them briefly.
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)"
./scripts/build.sh -DZUKARO_FUZZ_DIR="$PWD/build-fuzz"
# A private CUPS server with a cups-pdf queue for the real printing test, and a private
# PostgreSQL server for the product master's tests, both stopped at the end.
trap "'$PWD/scripts/test-printer.sh' stop; '$PWD/scripts/test-postgres.sh' stop" EXIT
./scripts/test-printer.sh start
./scripts/test-postgres.sh start
export QT_QPA_PLATFORM=offscreen QTEST_DISABLE_STACK_DUMP=1
cd build
ctest --output-on-failure --parallel "$(nproc)"
