#!/usr/bin/env bash
# Starts or stops a private pgbouncer in transaction mode before the test cluster.
#   pgbouncer.sh start STATE_DIR PG_STATE_DIR  pgbouncer on a Unix socket in a fresh folder, its
#                                              databases those of the cluster PG_STATE_DIR runs,
#                                              two server connections per database; writes
#                                              STATE_DIR/uri (marked pooler=transaction), or
#                                              STATE_DIR/unavailable with the reason
#   pgbouncer.sh stop STATE_DIR                stops it and removes its folder
# As root it runs as the cluster's user, since pgbouncer refuses to run as root.
set -euo pipefail

action=$1
state=$2
mkdir -p "$state"

server_name=pgbouncer
server_user=postgres
id "$server_user" > /dev/null 2>&1 || server_user=nobody
# shellcheck source=tools/server-common.sh
source "$(dirname "$0")/server-common.sh"

case "$action" in
start)
  rm -f "$state/uri" "$state/unavailable"
  [ -x /usr/sbin/pgbouncer ] || unavailable "no pgbouncer (install pgbouncer)"
  cluster_uri=$(cat "$3/uri" 2>/dev/null) || unavailable "the PostgreSQL test cluster is not running"
  cluster=$(sed -E 's/.*host=([^&]*).*/\1/' <<< "$cluster_uri")
  folder=$(mktemp -d /tmp/velmarith-pgbouncer.XXXXXX)
  echo "$folder" > "$state/folder"
  cat > "$folder/pgbouncer.ini" <<INI
[databases]
* = host=$cluster port=5439 user=velmarith
[pgbouncer]
unix_socket_dir = $folder
listen_port = 6439
auth_type = any
pool_mode = transaction
default_pool_size = 2
max_client_conn = 200
logfile = $folder/pgbouncer.log
pidfile = $folder/pgbouncer.pid
INI
  [ "$(id -u)" -eq 0 ] && chown -R "$server_user" "$folder"
  as_server /usr/sbin/pgbouncer -d -q "$folder/pgbouncer.ini" || unavailable "pgbouncer did not start: $(tail -1 "$folder/pgbouncer.log")"
  for _ in $(seq 100); do
    [ -S "$folder/.s.PGSQL.6439" ] && break
    sleep 0.05
  done
  [ -S "$folder/.s.PGSQL.6439" ] || unavailable "pgbouncer did not listen: $(tail -1 "$folder/pgbouncer.log")"
  echo "postgresql:///postgres?host=$folder&port=6439&user=velmarith&pooler=transaction" > "$state/uri"
  echo "pgbouncer in $folder"
  ;;
stop)
  [ -f "$state/folder" ] || exit 0
  folder=$(cat "$state/folder")
  [ -f "$folder/pgbouncer.pid" ] && kill "$(cat "$folder/pgbouncer.pid")" 2>/dev/null || true
  rm -rf "$folder" "$state/folder" "$state/uri"
  ;;
esac
