#!/usr/bin/env bash
# Starts or stops the private PostgreSQL cluster of the test suite.
#   pg-cluster.sh start STATE_DIR   initdb + pg_ctl start on a Unix socket in a fresh folder;
#                                   writes STATE_DIR/uri, or STATE_DIR/unavailable with the reason
#   pg-cluster.sh standby STATE_DIR PRIMARY_STATE_DIR
#                                   a streaming standby of that cluster (pg_basebackup -R), on a
#                                   socket of its own; writes STATE_DIR/uri as start does
#   pg-cluster.sh promote STATE_DIR makes a standby the primary, and waits until it is
#   pg-cluster.sh halt STATE_DIR    stops it as an administrator would (every change sent to its
#                                   standbys first), keeping its folder
#   pg-cluster.sh restart STATE_DIR restarts it, ending every session (for tests of that)
#   pg-cluster.sh stop STATE_DIR    stops it and removes its folder
# As root the server runs as the postgres user (or nobody), since PostgreSQL refuses root.
set -euo pipefail

action=$1
state=$2
mkdir -p "$state"

server_name=PostgreSQL
server_user=postgres
id "$server_user" > /dev/null 2>&1 || server_user=nobody
# shellcheck source=tools/server-common.sh
source "$(dirname "$0")/server-common.sh"

case "$action" in
start)
  rm -f "$state/uri" "$state/unavailable"
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
  [ -x "$bin/initdb" ] || unavailable "no PostgreSQL server binaries (install postgresql)"
  cluster=$(mktemp -d /tmp/velmarith-pg.XXXXXX)
  echo "$cluster" > "$state/cluster"
  [ "$(id -u)" -eq 0 ] && chown "$server_user" "$cluster"
  as_server "$bin/initdb" -D "$cluster/data" -U velmarith -E UTF8 --locale=C -A trust --no-sync > "$cluster/initdb.log" 2>&1 \
    || unavailable "initdb failed: $(tail -1 "$cluster/initdb.log")"
  as_server "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w -t 30 \
    -o "-k $cluster -c listen_addresses= -p 5439 -c fsync=off -c synchronous_commit=off -c full_page_writes=off" start \
    > /dev/null || unavailable "the server did not start: $(tail -1 "$cluster/server.log")"
  echo "postgresql:///postgres?host=$cluster&port=5439&user=velmarith" > "$state/uri"
  echo "PostgreSQL test cluster in $cluster"
  ;;
standby)
  rm -f "$state/uri" "$state/unavailable"
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
  primary=$(cat "$3/cluster")
  cluster=$(mktemp -d /tmp/velmarith-pg.XXXXXX)
  echo "$cluster" > "$state/cluster"
  [ "$(id -u)" -eq 0 ] && chown "$server_user" "$cluster"
  as_server "$bin/pg_basebackup" -h "$primary" -p 5439 -U velmarith -D "$cluster/data" -R -X stream --no-sync \
    > "$cluster/basebackup.log" 2>&1 || unavailable "pg_basebackup failed: $(tail -1 "$cluster/basebackup.log")"
  as_server "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w -t 30 \
    -o "-k $cluster -c listen_addresses= -p 5439 -c fsync=off -c synchronous_commit=off -c full_page_writes=off" start \
    > /dev/null || unavailable "the standby did not start: $(tail -1 "$cluster/server.log")"
  echo "postgresql:///postgres?host=$cluster&port=5439&user=velmarith" > "$state/uri"
  ;;
halt)
  cluster=$(cat "$state/cluster")
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
  as_server "$bin/pg_ctl" -D "$cluster/data" -m fast -w -t 30 stop > /dev/null
  ;;
promote)
  cluster=$(cat "$state/cluster")
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
  as_server "$bin/pg_ctl" -D "$cluster/data" -w -t 30 promote > /dev/null
  ;;
restart)
  cluster=$(cat "$state/cluster")
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
  as_server "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -m fast -w -t 30 restart > /dev/null
  ;;
stop)
  [ -f "$state/cluster" ] || exit 0
  cluster=$(cat "$state/cluster")
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
  [ -d "$cluster/data" ] && as_server "$bin/pg_ctl" -D "$cluster/data" -m immediate -w stop > /dev/null 2>&1 || true
  rm -rf "$cluster" "$state/cluster" "$state/uri"
  ;;
esac
