#!/usr/bin/env bash
# A private PostgreSQL cluster for shared maps: the demo, the tests and a small team.
#
#   bash scripts/share-server.sh start DIR    make the cluster in DIR (first time) and run it
#   bash scripts/share-server.sh stop DIR     stop it; DIR keeps the data
#   bash scripts/share-server.sh uri DIR      print the connection URI
#
# The server listens on a Unix socket in DIR and on 127.0.0.1, on a free port chosen the
# first time and kept after. Its superuser is "tb", its database "world". Through the socket
# it lets in anyone who can enter DIR (mode 0700); over TCP it asks for the password in
# DIR/password. DIR/uri holds the socket URI, DIR/tcp-uri the TCP one. Started as root, the
# server runs as the unprivileged user "nobody" (TB_SHARE_SERVER_USER names another), who
# then owns DIR.
set -euo pipefail

bin=/usr/lib/postgresql/15/bin
usage() {
  echo "usage: $0 start|stop|uri DIR" >&2
  exit 2
}
[ $# -eq 2 ] || usage
action=$1
mkdir -p "$2"
dir=$(cd "$2" && pwd -P)
data=$dir/data

if [ ! -x "$bin/pg_ctl" ]; then
  echo "$0: $bin/pg_ctl is missing: install postgresql-15 (bash scripts/setup.sh)" >&2
  exit 1
fi

# Everything that touches the cluster runs as its owner.
if [ "$(id -u)" -eq 0 ]; then
  owner=${TB_SHARE_SERVER_USER:-nobody}
  [ -f "$data/PG_VERSION" ] && owner=$(stat -c %U "$data")
  as_owner() { runuser -u "$owner" -- "$@"; }
else
  owner=$(id -un)
  as_owner() { "$@"; }
fi

# Text files of the project end their lines with CR LF; readers strip the CR.
write_line() {
  printf '%s\r\n' "$2" >"$1.tmp"
  mv -f "$1.tmp" "$1"
}
read_line() { tr -d '\r\n' <"$1"; }

# The socket's folder goes into the URI as a query value: everything but unreserved
# characters and "/" percent-encoded.
encode() {
  local s=$1 out="" c i
  for ((i = 0; i < ${#s}; i++)); do
    c=${s:i:1}
    case $c in
      [A-Za-z0-9._~/-]) out+=$c ;;
      *) out+=$(printf '%%%02X' "'$c") ;;
    esac
  done
  printf '%s' "$out"
}

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

running() { [ -f "$data/postmaster.pid" ] && as_owner "$bin/pg_ctl" -D "$data" status >/dev/null 2>&1; }

write_uris() {
  local port=$1
  write_line "$dir/uri" "postgresql://tb@/world?host=$(encode "$dir")&port=$port"
  write_line "$dir/tcp-uri" "postgresql://tb@127.0.0.1:$port/world"
}

start() {
  if [ "$(id -u)" -eq 0 ]; then
    chown "$owner" "$dir"
    if ! as_owner test -w "$dir"; then
      echo "$0: $owner cannot enter $dir: every folder above it must be open to others (chmod o+x)" >&2
      exit 1
    fi
  fi
  chmod 700 "$dir"
  # A socket's name may be 107 bytes long at most.
  if [ $((${#dir} + 17)) -gt 107 ]; then
    echo "$0: $dir is too long a path for the server's socket; choose a shorter folder" >&2
    exit 1
  fi
  if [ ! -f "$data/PG_VERSION" ]; then
    rm -rf "$data"
    head -c 24 /dev/urandom | base64 | tr -d '/+=\n' >"$dir/password.tmp"
    chmod 600 "$dir/password.tmp"
    [ "$(id -u)" -eq 0 ] && chown "$owner" "$dir/password.tmp"
    as_owner "$bin/initdb" -D "$data" -U tb --pwfile="$dir/password.tmp" -E UTF8 --no-locale --no-sync \
      --auth-local=trust --auth-host=scram-sha-256 >"$dir/initdb.log" 2>&1 || {
      cat "$dir/initdb.log" >&2
      exit 1
    }
    write_line "$dir/password" "$(cat "$dir/password.tmp")"
    rm -f "$dir/password.tmp"
    as_owner tee -a "$data/postgresql.conf" >/dev/null <<EOF
# Set by scripts/share-server.sh
listen_addresses = '127.0.0.1'
unix_socket_directories = '$dir'
unix_socket_permissions = 0700
EOF
  fi
  if running; then
    read_line "$dir/uri"
    echo
    return
  fi
  local port tries=0
  if [ -f "$dir/port" ]; then
    port=$(read_line "$dir/port")
  fi
  while :; do
    if [ -z "${port:-}" ]; then
      port=$((20000 + RANDOM % 40000))
      if port_in_use "$port"; then
        port=
        continue
      fi
    fi
    if as_owner "$bin/pg_ctl" -D "$data" -l "$dir/server.log" -w -t 60 -o "-p $port" start \
      >/dev/null; then
      break
    fi
    tries=$((tries + 1))
    # A port taken by someone else since we chose it: choose again, unless it was kept.
    if [ -f "$dir/port" ] || [ $tries -ge 10 ]; then
      tail -n 20 "$dir/server.log" >&2
      exit 1
    fi
    port=
  done
  write_line "$dir/port" "$port"
  write_uris "$port"
  local psql=("$bin/psql" -X -q -h "$dir" -p "$port" -U tb -d postgres -v ON_ERROR_STOP=1)
  if [ "$("${psql[@]}" -tAc "SELECT 1 FROM pg_database WHERE datname = 'world'")" != 1 ]; then
    "${psql[@]}" -c "CREATE DATABASE world"
  fi
  read_line "$dir/uri"
  echo
}

stop() {
  if [ ! -f "$data/PG_VERSION" ]; then
    return
  fi
  if running; then
    as_owner "$bin/pg_ctl" -D "$data" -m fast -w -t 60 stop >/dev/null
  fi
}

case $action in
  start) start ;;
  stop) stop ;;
  uri)
    read_line "$dir/uri"
    echo
    ;;
  *) usage ;;
esac
