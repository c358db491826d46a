#!/bin/sh
# Times how long the program takes to end after its last window is closed, as a clerk ends
# it: the editor (opened with a sheet) closed with Ctrl+Q, then the start screen with Alt+F4,
# on an Xvfb screen with openbox (not a test). The clock starts as the last close is sent and
# stops when the process is gone. Goal: under 100 ms. Needs a build (zbuild).
#   sh scripts/exit-time.sh [runs] [plain|clerk]     (default 10 plain)
# "clerk" first opens the print dialog and a POS list (ファイルを開く, then 商品リスト).
set -eu
cd "$(dirname "$0")/.."
if [ "${1:-}" != "--inside" ]; then
  exec sh scripts/with-openbox.sh 1366x768 sh "$0" --inside "${1:-10}" "${2:-plain}"
fi
runs=$2
flow=$3
now() { date +%s%N; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
list=$home/POS書き出し.csv
printf 'JAN,商品名,売価\r\n4901234567894,国産丸大豆しょうゆ,398\r\n' | iconv -f UTF-8 -t CP932 >"$list"
times=""
i=0
while [ "$i" -lt "$runs" ]; do
  i=$((i + 1))
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
    ./build/zukaro docs/sample-sheet.csv >/dev/null 2>&1 &
  pid=$!
  editor=$(xdotool search --sync --onlyvisible --name 'ズカロ入力画面' | head -n1)
  start=$(xdotool search --sync --onlyvisible --name 'ズカロ\(A4' | head -n1)
  sleep 0.5  # settled: the first preview drawn, the master opened
  xdotool windowactivate --sync "$editor"
  if [ "$flow" = clerk ]; then
    # A clerk's session: print dialog (CUPS enumerates the printers) cancelled, a POS list
    # opened from ファイルを開く into 商品リスト (the master learns it), the list closed.
    xdotool key ctrl+p; sleep 1.5; xdotool key Escape; sleep 0.3
    xdotool key ctrl+o; sleep 1; xdotool type --delay 5 "$list"; xdotool key Return; sleep 1
    xdotool key Return; sleep 1.5
    xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '商品リスト' | head -n1)" key alt+F4
    sleep 0.3
  fi
  xdotool windowactivate --sync "$editor" key --clearmodifiers ctrl+q
  while xdotool search --onlyvisible --name 'ズカロ入力画面' >/dev/null 2>&1; do sleep 0.01; done
  xdotool windowactivate --sync "$start"
  t0=$(now)
  xdotool key --clearmodifiers alt+F4
  while kill -0 "$pid" 2>/dev/null; do sleep 0.002; done
  t1=$(now)
  wait "$pid" || true
  ms=$(( (t1 - t0) / 1000000 ))
  echo "run $i: ${ms} ms"
  times="$times $ms"
done
echo "$times" | tr ' ' '\n' | sed '/^$/d' | sort -n |
  awk '{ a[NR] = $1; s += $1 } END { printf "exit after the last window: median %d ms, min %d, max %d (n=%d)\n", a[int((NR + 1) / 2)], a[1], a[NR], NR }'
