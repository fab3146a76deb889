#!/usr/bin/env bash
# Runs a command beside a Radicale of its own: 127.0.0.1 on free ports, plain
# htpasswd users (alice:secret, bob:secret), a temporary storage folder, the
# calendar /alice/tasks/ made for tasks and journals; once more over TLS with a
# self-signed certificate made here. Both are stopped at the end, also when the
# command fails. The command finds:
#   PINORA_RADICALE_URL       http://127.0.0.1:PORT/alice/tasks/
#   PINORA_RADICALE_TLS_URL   https://127.0.0.1:PORT2/alice/tasks/
#   PINORA_RADICALE_TLS_SHA256  the certificate's SHA-256 (hex)
#   PINORA_RADICALE_STORAGE   the storage folder of the plain server
#   PINORA_RADICALE_CONTROL   a file: write "stop" or "start" into it to stop or
#                             start the plain server (done within 0.1 s)
set -u
python=/usr/bin/python3
work=$(mktemp -d /tmp/pinora-radicale.XXXXXX)
pids=()
controller=
cleanup() {
  [ -n "$controller" ] && kill "$controller" 2>/dev/null
  for f in "$work"/*.pid; do [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

free_port() { "$python" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port=$(free_port)
tls_port=$(free_port)
printf 'alice:secret\nbob:secret\n' > "$work/users"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj /CN=127.0.0.1 >/dev/null 2>&1 || { echo "with_radicale: openssl failed" >&2; exit 1; }
sha=$(openssl x509 -in "$work/cert.pem" -noout -fingerprint -sha256 | sed 's/.*=//; s/://g')

write_config() {  # name port storage [tls]
  {
    echo "[server]"
    echo "hosts = 127.0.0.1:$2"
    if [ "${4:-}" = tls ]; then
      echo "ssl = True"
      echo "certificate = $work/cert.pem"
      echo "key = $work/key.pem"
    fi
    echo "[auth]"
    echo "type = htpasswd"
    echo "htpasswd_filename = $work/users"
    echo "htpasswd_encryption = plain"
    echo "delay = 0"
    echo "[rights]"
    echo "type = owner_only"
    echo "[storage]"
    echo "filesystem_folder = $3"
    echo "[logging]"
    echo "level = warning"
  } > "$work/$1.conf"
}
write_config plain "$port" "$work/storage"
write_config tls "$tls_port" "$work/tls-storage" tls

start() {  # name
  "$python" -m radicale --config "$work/$1.conf" >>"$work/$1.log" 2>&1 &
  echo $! > "$work/$1.pid"
}
wait_port() {  # port
  for _ in $(seq 100); do
    "$python" -c "import socket,sys; s=socket.socket(); sys.exit(s.connect_ex(('127.0.0.1', $1)))" && return 0
    sleep 0.1
  done
  return 1
}
make_calendar() {  # scheme port
  curl -s -k -o /dev/null -w '%{http_code}' -u alice:secret -X MKCALENDAR \
    -H 'Content-Type: application/xml' \
    --data '<?xml version="1.0"?><C:mkcalendar xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav"><D:set><D:prop><D:displayname>Tasks</D:displayname><C:supported-calendar-component-set><C:comp name="VTODO"/><C:comp name="VJOURNAL"/><C:comp name="VEVENT"/></C:supported-calendar-component-set></D:prop></D:set></C:mkcalendar>' \
    "$1://127.0.0.1:$2/alice/tasks/"
}

start plain
start tls
wait_port "$port" && wait_port "$tls_port" || { echo "with_radicale: Radicale did not start" >&2; cat "$work"/*.log >&2; exit 1; }
[ "$(make_calendar http "$port")" = 201 ] && [ "$(make_calendar https "$tls_port")" = 201 ] \
  || { echo "with_radicale: the calendar could not be made" >&2; cat "$work"/*.log >&2; exit 1; }

# Stop and start on request, for outages in the middle of a sync.
touch "$work/control"
(
  while sleep 0.05; do
    cmd=$(cat "$work/control" 2>/dev/null)
    [ -z "$cmd" ] && continue
    : > "$work/control"
    case "$cmd" in
      stop*) kill "$(cat "$work/plain.pid")" 2>/dev/null; wait "$(cat "$work/plain.pid")" 2>/dev/null ;;
      start*) start plain ;;
    esac
  done
) &
controller=$!

export PINORA_RADICALE_URL="http://127.0.0.1:$port/alice/tasks/"
export PINORA_RADICALE_TLS_URL="https://127.0.0.1:$tls_port/alice/tasks/"
export PINORA_RADICALE_TLS_SHA256="$sha"
export PINORA_RADICALE_STORAGE="$work/storage"
export PINORA_RADICALE_CONTROL="$work/control"
"$@"
rc=$?
[ $rc -ne 0 ] && [ -n "${PINORA_RADICALE_LOG:-}" ] && cat "$work"/*.log >&2
exit $rc
