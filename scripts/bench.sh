#!/bin/sh
# Builds and runs the benchmarks (not part of the test suite).
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
# bench_master needs the private PostgreSQL server, stopped at the end.
trap "'$PWD/scripts/test-postgres.sh' stop" EXIT
./scripts/test-postgres.sh start
export QT_QPA_PLATFORM=offscreen
for b in build/bench/bench_*; do
  [ -x "$b" ] && "$b" --benchmark_min_time=0.5
done
