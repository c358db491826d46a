#!/bin/sh
# Whole-process timings of the command line with hyperfine (goals: --print-pdf of a full sheet
# under 100 ms; a 1,000-row product list to 48 pages at 600 dpi under 1.0 s and 80 MB; a
# 100,000-row list, 4,762 pages, within a minute and 80 MB). Not part of the test suite. Builds
# first; extra arguments go to hyperfine, e.g. --export-json times.json.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
sheet=cli/tests/data/full_sheet.csv
# A shop's list of 1,000 products: the fifty of the tests twenty times over.
list="$out/products.csv"
head -n 1 cli/tests/data/fifty_products.csv > "$list"
for i in $(seq 20); do tail -n +2 cli/tests/data/fifty_products.csv >> "$list"; done
# Like a script on a server: no display, no CUPS server, no data.txt of the user's.
export XDG_CONFIG_HOME="$out/config" XDG_DATA_HOME="$out/data" CUPS_SERVER="$out/no-cups.sock"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
hyperfine --warmup 5 --runs "${RUNS:-50}" -N "$@" \
  --command-name "version (start-up alone)" "build/zukaro --version" \
  --command-name "print-pdf, full sheet, 600 dpi" "build/zukaro --print-pdf $sheet $out/sheet.pdf" \
  --command-name "preview-png, full sheet, 50 %" "build/zukaro --preview-png $sheet $out/sheet.png" \
  --command-name "print-list, 1,000 rows, 48 pages, 600 dpi" \
  "build/zukaro --print-list $list $out/list.pdf"
# Peak memory of the list (maximum resident set size).
/usr/bin/time -f "print-list, 1,000 rows: %M KB peak, %e s" build/zukaro --print-list "$list" "$out/list.pdf"
pdfinfo "$out/list.pdf" | grep Pages
# A chain's list of 100,000 products, each with its own valid JAN code: pages are made and
# drawn one at a time, so the memory stays what it is for a short list.
big="$out/products-100000.csv"
awk 'BEGIN {
  print "JANコード,メーカー,品名,規格,ロット,売価"
  for (i = 0; i < 100000; i++) {
    d = sprintf("49%010d", i); s = 0
    for (k = 1; k <= 12; k++) s += substr(d, k, 1) * (k % 2 ? 1 : 3)
    printf "%s%d,カトー製菓,ポテトチップス うすしお味 %d,60g,L-%03d,%d\n", d, (10 - s % 10) % 10, i, i % 1000, 100 + i % 900
  }
}' > "$big"
hyperfine --runs "${BIG_RUNS:-3}" -N "$@" \
  --command-name "print-list, 100,000 rows, 4,762 pages, 600 dpi" \
  "build/zukaro --print-list $big $out/big.pdf"
/usr/bin/time -f "print-list, 100,000 rows: %M KB peak, %e s" build/zukaro --print-list "$big" "$out/big.pdf"
pdfinfo "$out/big.pdf" | grep Pages
# The same 100,000 products kept in a product master by the whole program (goal: within 10 s
# into PostgreSQL): into a new SQLite file, and into a new database on the private PostgreSQL
# server over its Unix socket, each run from empty (every product added).
trap "rm -rf '$out'; '$PWD/scripts/test-postgres.sh' stop" EXIT
./scripts/test-postgres.sh start
. build/test-postgres.env
export PGPASSFILE
admin="psql -X -q -h $ZUKARO_TEST_PGHOST -p $ZUKARO_TEST_PGPORT -U $ZUKARO_TEST_PGADMIN -d postgres"
hyperfine --runs "${BIG_RUNS:-3}" -N "$@" \
  --prepare "rm -f $out/master.sqlite" \
  --command-name "import-list, 100,000 rows, into SQLite" \
  "build/zukaro --master $out/master.sqlite --import-list $big" \
  --prepare "$admin -c 'DROP DATABASE IF EXISTS zukaro_bench' -c 'CREATE DATABASE zukaro_bench OWNER $ZUKARO_TEST_PGOFFICE'" \
  --command-name "import-list, 100,000 rows, into PostgreSQL" \
  "build/zukaro --master postgresql://$ZUKARO_TEST_PGOFFICE@/zukaro_bench?host=$ZUKARO_TEST_PGHOST&port=$ZUKARO_TEST_PGPORT --import-list $big"
# The weekly price change of a chain's shop (goal: within 1 s). The master first learns that
# all 100,000 products of the list above were printed (--record-printed); this week's register
# export has 10,000 of them, 200 at a new price, and 50 new products: read, compared with the
# master's 100,000 printed labels, and the 250 rows printed.
build/zukaro --print-list "$big" "$out/recorded.pdf" --record-printed 2>&1 | grep 印刷済み
week="$out/this-week-10000.csv"
awk 'BEGIN {
  print "JANコード,メーカー,品名,規格,ロット,売価"
  for (i = 0; i < 10050; i++) {
    n = i < 10000 ? i : 100000 + i; price = 100 + n % 900
    if (i < 10000 && i % 50 == 0) price += 20
    d = sprintf("49%010d", n); s = 0
    for (k = 1; k <= 12; k++) s += substr(d, k, 1) * (k % 2 ? 1 : 3)
    printf "%s%d,カトー製菓,ポテトチップス うすしお味 %d,60g,L-%03d,%d\n", d, (10 - s % 10) % 10, n, n % 1000, price
  }
}' > "$week"
build/zukaro --print-list "$week" "$out/week.pdf" --changed-only 2>&1 | grep 前回の印刷
hyperfine --warmup 2 --runs "${RUNS:-20}" -N "$@" \
  --command-name "print-list --changed-only, 10,000 rows against 100,000 printed, 250 printed" \
  "build/zukaro --print-list $week $out/week.pdf --changed-only"
/usr/bin/time -f "print-list --changed-only, 10,000 rows: %M KB peak, %e s" \
  build/zukaro --print-list "$week" "$out/week.pdf" --changed-only 2>&1 | tail -n 1
pdfinfo "$out/week.pdf" | grep Pages
