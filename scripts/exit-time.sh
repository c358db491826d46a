#!/bin/sh
# Times how long the program takes to end after its last window is closed, as a clerk ends
# it: the editor (opened with a sheet) closed with Ctrl+Q, then the start screen with Alt+F4,
# on an Xvfb screen with openbox (not a test). The clock starts as the last close is sent and
# stops when the process is gone. Goal: under 100 ms. Needs a build (scripts/build.sh).
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
# The first visible window whose name matches, once there is one (xdotool's own --sync trips
# over windows that go away while it looks).
window() {
  n=0
  until w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) && [ -n "$w" ]; do
    n=$((n + 1)); [ "$n" -lt 200 ] || { echo "exit-time: no window $1" >&2; exit 1; }
    sleep 0.05
  done
  echo "$w"
}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
list=$home/pos-export.csv  # typed by xdotool, which drops some kana
printf 'JAN,商品名,売価\r\n4901234567894,国産丸大豆しょうゆ,398\r\n' | iconv -f UTF-8 -t CP932 >"$list"
times=""
i=0
while [ "$i" -lt "$runs" ]; do
  i=$((i + 1))
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
    ./build/zukaro docs/sample-sheet.csv >/dev/null 2>&1 &
  pid=$!
  editor=$(window 'ズカロ入力画面')
  start=$(window 'ズカロ\(A4')
  sleep 0.5  # settled: the first preview drawn, the master opened
  xdotool windowactivate --sync "$editor"
  if [ "$flow" = clerk ]; then
    # A clerk's session: print dialog (CUPS enumerates the printers) cancelled, a POS list
    # opened from ファイルを開く into 商品リスト (the master learns it), the list closed.
    xdotool key ctrl+p; sleep 1.5; xdotool key Escape; sleep 0.3
    xdotool key ctrl+o
    xdotool windowactivate --sync "$(window '^開く$')" type --delay 20 "$list"
    sleep 0.5
    # Return until the question shows (the name's completion list may take the first).
    tries=0
    until xdotool search --onlyvisible --name '^ファイルを開く$' >/dev/null 2>&1; do
      tries=$((tries + 1)); [ "$tries" -le 3 ] || { echo "exit-time: no question" >&2; exit 1; }
      xdotool key Return; sleep 0.7
    done
    sleep 0.3; xdotool key Return  # はい: open it in 商品リスト
    listwindow=$(window '商品リスト -')
    sleep 0.5; xdotool windowactivate --sync "$listwindow" key alt+F4
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
