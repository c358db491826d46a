#!/bin/sh
# A private PostgreSQL server for the tests and benchmarks of the product master.
#
#   sh scripts/test-postgres.sh start   # a fresh server (an old one of this build folder is kept)
#   sh scripts/test-postgres.sh stop    # stop the server this script started, and remove it
#
# The server (Debian's postgresql package: initdb and pg_ctl) lives in a folder of its own under
# /tmp, one per build folder, and listens on a Unix socket in that folder only: no TCP port, so
# any number of build folders can run their servers side by side. PostgreSQL refuses to run as
# root; as root the server runs as the system user postgres (or zukaro-pg, created when neither
# exists). Every login needs its password (scram-sha-256), which the tests find the way a shop's
# program does: through the password file named by PGPASSFILE.
# What the tests need is written to $BUILD_DIR/test-postgres.env:
#   ZUKARO_TEST_PGHOST    the socket's folder (libpq's host)
#   ZUKARO_TEST_PGPORT    the port the socket is named after
#   ZUKARO_TEST_PGADMIN   a superuser, for creating and dropping the tests' databases
#   ZUKARO_TEST_PGOFFICE  a login for head office (it gets the right to write a database)
#   ZUKARO_TEST_PGSHOP    a login for a shop (it gets the right to read one)
#   PGPASSFILE            the passwords of the three
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
mkdir -p "$BUILD_DIR"
BUILD_ABS=$(cd "$BUILD_DIR" && pwd)

BIN=/usr/lib/postgresql/15/bin
KEY=$(printf '%s' "$BUILD_ABS" | cksum | cut -d' ' -f1)
DIR=/tmp/zukaro-pg-$KEY
DATA=$DIR/data
PORT=5432
ADMIN=zukaro_admin
OFFICE=zukaro_office
SHOP=zukaro_shop
ENV_FILE=$BUILD_ABS/test-postgres.env

fail() {
  echo "test-postgres: $*" >&2
  exit 1
}

# The user the server runs as: ourselves, or an unprivileged one when we are root.
server_user() {
  if [ "$(id -u)" -ne 0 ]; then
    id -un
  elif id postgres >/dev/null 2>&1; then
    echo postgres
  else
    id zukaro-pg >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin zukaro-pg
    echo zukaro-pg
  fi
}

as_server() {
  if [ "$(id -u)" -ne 0 ]; then
    "$@"
  else
    runuser -u "$(server_user)" -- "$@"
  fi
}

running() {
  [ -f "$DATA/postmaster.pid" ] && as_server "$BIN/pg_ctl" status -D "$DATA" >/dev/null 2>&1
}

password() {
  od -An -N18 -tx1 /dev/urandom | tr -d ' \n'
}

admin_sql() {
  PGPASSFILE="$DIR/pgpass" "$BIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$DIR" -p "$PORT" \
    -U "$ADMIN" -d postgres -c "$1"
}

start() {
  for tool in initdb pg_ctl psql; do
    [ -x "$BIN/$tool" ] || fail "$BIN/$tool is missing; run scripts/deps.sh"
  done
  if ! running; then
    rm -rf "$DIR"
    mkdir -p "$DIR"
    chmod 755 "$DIR"
    admin=$(password)
    office=$(password)
    shop=$(password)
    # The passwords, readable by whoever runs the tests and nobody else.
    umask 077
    printf '%s\n' "$admin" >"$DIR/admin.pw"
    printf '*:*:*:%s:%s\n*:*:*:%s:%s\n*:*:*:%s:%s\n' \
      "$ADMIN" "$admin" "$OFFICE" "$office" "$SHOP" "$shop" >"$DIR/pgpass"
    umask 022
    user=$(server_user)
    chown "$user" "$DIR" "$DIR/admin.pw"
    as_server "$BIN/initdb" -D "$DATA" -U "$ADMIN" --pwfile="$DIR/admin.pw" \
      --auth=scram-sha-256 -E UTF8 --locale=C.UTF-8 --no-sync >"$DIR/initdb.log" 2>&1 ||
      { cat "$DIR/initdb.log" >&2; fail "initdb failed"; }
    rm -f "$DIR/admin.pw"
    cat >>"$DATA/postgresql.conf" <<EOF
listen_addresses = ''
port = $PORT
unix_socket_directories = '$DIR'
max_connections = 200
EOF
    # The server outlives this script: it must not keep what the caller had open (the build
    # lock, a test's pipe), or every build after it waits for ever.
    as_server "$BIN/pg_ctl" start -D "$DATA" -w -t 60 -l "$DIR/server.log" </dev/null >/dev/null \
      3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&- ||
      { cat "$DIR/server.log" >&2; fail "the server did not start (log in $DIR/server.log)"; }
    admin_sql "CREATE ROLE $OFFICE LOGIN PASSWORD '$office'; CREATE ROLE $SHOP LOGIN PASSWORD '$shop'"
  fi
  cat >"$ENV_FILE" <<EOF
ZUKARO_TEST_PGHOST=$DIR
ZUKARO_TEST_PGPORT=$PORT
ZUKARO_TEST_PGADMIN=$ADMIN
ZUKARO_TEST_PGOFFICE=$OFFICE
ZUKARO_TEST_PGSHOP=$SHOP
PGPASSFILE=$DIR/pgpass
EOF
  echo "test-postgres: PostgreSQL on $DIR/.s.PGSQL.$PORT"
}

stop() {
  if running; then
    as_server "$BIN/pg_ctl" stop -D "$DATA" -m fast -w -t 60 >/dev/null || true
  fi
  rm -rf "$DIR"
  rm -f "$ENV_FILE"
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  *) fail "usage: test-postgres.sh start|stop" ;;
esac
