#!/usr/bin/env bash
# Starts or stops the private MariaDB server of the test suite.
#   mariadb-server.sh start STATE_DIR [OPTION...]
#                                        mariadb-install-db + mariadbd on a Unix socket in a fresh
#                                        folder, with the server options given (--sql-mode=…);
#                                        writes STATE_DIR/uri, or STATE_DIR/unavailable with the
#                                        reason
#   mariadb-server.sh restart STATE_DIR  restarts it, ending every session (for tests of that)
#   mariadb-server.sh stop STATE_DIR     stops it and removes its folder
# As root the server runs as nobody: a test never needs the machine's own server or its user.
set -euo pipefail

action=$1
state=$2
shift 2
mkdir -p "$state"

server_name=MariaDB
server_user=nobody
# shellcheck source=tools/server-common.sh
source "$(dirname "$0")/server-common.sh"

start_server() {
  local folder=$1
  rm -f "$folder/sock"
  as_server /usr/sbin/mariadbd --no-defaults --datadir="$folder/data" --socket="$folder/sock" --skip-networking \
    --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci --pid-file="$folder/pid" \
    --log-error="$folder/server.log" --innodb-flush-log-at-trx-commit=0 --skip-log-bin $(cat "$folder/options") \
    > /dev/null 2>&1 &
  for _ in $(seq 100); do
    [ -S "$folder/sock" ] && return 0
    sleep 0.1
  done
  return 1
}

stop_server() {
  local folder=$1
  [ -f "$folder/pid" ] || return 0
  local pid
  pid=$(cat "$folder/pid")
  kill "$pid" 2> /dev/null || return 0
  for _ in $(seq 100); do
    kill -0 "$pid" 2> /dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2> /dev/null || true
}

case "$action" in
start)
  rm -f "$state/uri" "$state/unavailable"
  [ -x /usr/sbin/mariadbd ] && command -v mariadb-install-db > /dev/null \
    || unavailable "no MariaDB server binaries (install mariadb-server-core and mariadb-client-core)"
  folder=$(mktemp -d /tmp/velmarith-mariadb.XXXXXX)
  echo "$folder" > "$state/folder"
  [ "$(id -u)" -eq 0 ] && chown nobody "$folder"
  echo "$@" > "$folder/options"
  as_server mariadb-install-db --no-defaults --datadir="$folder/data" --auth-root-authentication-method=normal \
    --skip-test-db > "$folder/install.log" 2>&1 || unavailable "mariadb-install-db failed: $(tail -1 "$folder/install.log")"
  start_server "$folder" || unavailable "the server did not start: $(tail -1 "$folder/server.log")"
  mariadb --no-defaults --socket="$folder/sock" -u root -e "create database velmarith" \
    || unavailable "the test database could not be made"
  echo "mariadb://root@localhost/velmarith?socket=$folder/sock" > "$state/uri"
  echo "MariaDB test server in $folder"
  ;;
restart)
  folder=$(cat "$state/folder")
  stop_server "$folder"
  start_server "$folder"
  ;;
stop)
  [ -f "$state/folder" ] || exit 0
  folder=$(cat "$state/folder")
  stop_server "$folder"
  rm -rf "$folder" "$state/folder" "$state/uri"
  ;;
esac
