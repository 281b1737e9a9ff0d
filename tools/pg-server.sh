#!/bin/sh
# A PostgreSQL server of its own for the tests and the benchmarks, in a directory of its own.
#   tools/pg-server.sh start DIR [PORT]   a fresh server: data in DIR/data, its socket in DIR;
#                                         with PORT it also listens on 127.0.0.1:PORT
#   tools/pg-server.sh stop DIR           stops it at once and removes DIR
# Clients connect as the user postgres with no password: postgresql:///DB?host=DIR&user=postgres.
# The server refuses to run as root, so as root it runs as the user postgres.
set -eu
cmd=$1
dir=$2
port=${3:-}
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_owner() {
  if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case "$cmd" in
  start)
    rm -rf "$dir"
    mkdir -p "$dir"
    if [ "$(id -u)" = 0 ]; then chown postgres "$dir"; fi
    if ! as_owner "$bin/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --no-locale >"$dir/initdb.log" 2>&1; then
      cat "$dir/initdb.log" >&2
      exit 1
    fi
    if [ -n "$port" ]; then
      listen="-c listen_addresses=127.0.0.1 -p $port"
    else
      # Without a port the tests' servers only take local connections through their socket; the
      # number only names the socket file.
      listen="-c listen_addresses="
      fsync="-c fsync=off"
    fi
    if ! as_owner "$bin/pg_ctl" -D "$dir/data" -o "-k $dir $listen ${fsync:-} -c max_connections=60" \
           -l "$dir/server.log" -w -t 120 start >/dev/null; then
      cat "$dir/server.log" >&2
      exit 1
    fi
    ;;
  stop)
    if [ -d "$dir/data" ]; then as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w -t 60 stop >/dev/null || true; fi
    rm -rf "$dir"
    ;;
  *)
    echo "usage: $0 start|stop DIR [PORT]" >&2
    exit 2
    ;;
esac
