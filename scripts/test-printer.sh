#!/bin/sh
# A private CUPS server with a cups-pdf queue, for the test that prints a real sheet.
#
#   sh scripts/test-printer.sh start   # start it (again) and create the queues
#   sh scripts/test-printer.sh stop    # stop the server this script started
#
# The server has its own configuration, spool and socket under /tmp (one per build folder),
# so it works beside a system cupsd or without one, and never touches the system's queues.
# It needs root (cupsd, and cups-pdf runs as root); without root it runs itself through sudo.
# What the test needs to know is written to $BUILD_DIR/test-printer.env:
#   CUPS_SERVER            the server's socket
#   ZUKARO_TEST_QUEUE      a cups-pdf queue (also the server's default printer)
#   ZUKARO_TEST_REFUSING   a queue that refuses every job
#   ZUKARO_TEST_PDF_DIR    where cups-pdf writes the PDFs of ZUKARO_TEST_QUEUE
#   ZUKARO_TEST_PPD        the queues' printer description (the driver's own option texts)
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
mkdir -p "$BUILD_DIR"
BUILD_ABS=$(cd "$BUILD_DIR" && pwd)

if [ "$(id -u)" -ne 0 ]; then
  exec sudo env BUILD_DIR="$BUILD_ABS" sh "$0" "$@"
fi

KEY=$(printf '%s' "$BUILD_ABS" | cksum | cut -d' ' -f1)
DIR=/tmp/zukaro-cups-$KEY
SOCKET=$DIR/cups.sock
QUEUE=zukaro-pdf-$KEY
REFUSING=$QUEUE-refusing
CUPS_PDF_CONF=/etc/cups/cups-pdf-$QUEUE.conf
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
ENV_FILE=$BUILD_ABS/test-printer.env
export CUPS_SERVER="$SOCKET"

fail() {
  echo "test-printer: $*" >&2
  exit 1
}

# The pid of our cupsd when it is running, else nothing.
running_pid() {
  [ -f "$DIR/cupsd.pid" ] || return 0
  pid=$(cat "$DIR/cupsd.pid")
  if [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q "$DIR/etc/cupsd.conf"; then
    echo "$pid"
  fi
}

write_config() {
  mkdir -p "$DIR/etc" "$DIR/spool/tmp" "$DIR/cache" "$DIR/state" "$DIR/log" "$DIR/out" \
    "$DIR/cups-pdf-spool"
  chmod 755 "$DIR" "$DIR/etc" "$DIR/log"
  chmod 1777 "$DIR/out"
  cat >"$DIR/etc/cups-files.conf" <<EOF
SystemGroup root
ServerRoot $DIR/etc
RequestRoot $DIR/spool
TempDir $DIR/spool/tmp
CacheDir $DIR/cache
StateDir $DIR/state
AccessLog $DIR/log/access_log
ErrorLog $DIR/log/error_log
PageLog $DIR/log/page_log
EOF
  cat >"$DIR/etc/cupsd.conf" <<EOF
LogLevel info
Listen $SOCKET
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
  chmod 644 "$DIR/etc/cups-files.conf" "$DIR/etc/cupsd.conf"
  # cups-pdf reads the configuration named after the queue's device URI, cups-pdf:/$QUEUE.
  cat >"$CUPS_PDF_CONF" <<EOF
Out $DIR/out
AnonDirName $DIR/out
Spool $DIR/cups-pdf-spool
Log $DIR/log
LogType 3
Grp root
UserUMask 0022
Label 2
DecodeHexStrings 1
EOF
}

start() {
  for tool in /usr/sbin/cupsd lpadmin lpstat cupsreject; do
    command -v "$tool" >/dev/null || fail "$tool is missing; run scripts/deps.sh"
  done
  [ -x /usr/lib/cups/backend/cups-pdf ] || fail "the cups-pdf backend is missing; run scripts/deps.sh"
  [ -f "$PPD" ] || fail "$PPD is missing; run scripts/deps.sh"

  if [ -z "$(running_pid)" ]; then
    write_config
    rm -f "$SOCKET"
    setsid /usr/sbin/cupsd -f -c "$DIR/etc/cupsd.conf" -s "$DIR/etc/cups-files.conf" \
      >"$DIR/log/cupsd.out" 2>&1 </dev/null &
    echo $! >"$DIR/cupsd.pid"
  fi
  i=0
  until lpstat -r 2>/dev/null | grep -q "is running"; do
    i=$((i + 1))
    if [ $i -gt 100 ] || [ -z "$(running_pid)" ]; then
      cat "$DIR/log/cupsd.out" "$DIR/log/error_log" >&2 2>/dev/null || true
      fail "cupsd did not start (logs in $DIR/log)"
    fi
    sleep 0.1
  done

  # lpadmin warns that PPD drivers are deprecated; only real errors matter.
  lpadmin -p "$QUEUE" -E -v "cups-pdf:/$QUEUE" -P "$PPD" -o PageSize=A4 \
    -o printer-error-policy=abort-job 2>"$DIR/log/lpadmin.err" ||
    { cat "$DIR/log/lpadmin.err" >&2; fail "could not create the queue $QUEUE"; }
  lpadmin -d "$QUEUE"
  lpadmin -p "$REFUSING" -E -v "cups-pdf:/$QUEUE" -P "$PPD" -o PageSize=A4 \
    2>"$DIR/log/lpadmin.err" ||
    { cat "$DIR/log/lpadmin.err" >&2; fail "could not create the queue $REFUSING"; }
  cupsreject -r "closed for the test" "$REFUSING"
  lpstat -p "$QUEUE" | grep -q enabled || fail "the queue $QUEUE is not enabled"

  cat >"$ENV_FILE" <<EOF
CUPS_SERVER=$SOCKET
ZUKARO_TEST_QUEUE=$QUEUE
ZUKARO_TEST_REFUSING=$REFUSING
ZUKARO_TEST_PDF_DIR=$DIR/out
ZUKARO_TEST_PPD=$PPD
EOF
  echo "test-printer: $QUEUE on $SOCKET, PDFs in $DIR/out"
}

stop() {
  pid=$(running_pid)
  if [ -n "$pid" ]; then
    kill "$pid"
    i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do
      i=$((i + 1))
      sleep 0.1
    done
  fi
  rm -f "$DIR/cupsd.pid" "$SOCKET" "$CUPS_PDF_CONF" "$ENV_FILE"
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  *) fail "usage: test-printer.sh start|stop" ;;
esac
