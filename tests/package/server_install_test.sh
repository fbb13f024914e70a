#!/usr/bin/env bash
# Installs zorbix and zorbix-server from build/packages/ on this (disposable
# test) machine and checks what the package sets up: its system user, the
# store's folder only that user reads, the seeded report template, the
# settings and the systemd unit. Starts the server as that user with the
# settings' directory, logs in with curl, changes the one-time password,
# lists the projects, stops it with SIGTERM, removes and purges the package
# and checks that the store stays. Needs root or sudo; says so and skips
# otherwise.
set -euo pipefail
export LC_ALL=C.UTF-8
cd "$(dirname "$0")/../.."
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! sudo -n true 2>/dev/null; then
    echo "server install test: skipped (needs root or sudo)"
    exit 0
  fi
  sudo="sudo -n"
fi
fail() { echo "server install test: $*" >&2; [ -f "${log:-}" ] && cat "$log" >&2; exit 1; }
work=$(mktemp -d)
log="$work/server.log"
server=""
cleanup() {
  [ -n "$server" ] && $sudo kill "$server" 2>/dev/null || true
  $sudo dpkg --purge zorbix-server zorbix >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

$sudo dpkg -i build/packages/zorbix_*.deb build/packages/zorbix-server_*.deb >/dev/null
for f in /usr/bin/zorbix-server /lib/systemd/system/zorbix-server.service /etc/zorbix/server.conf \
  /usr/share/man/man1/zorbix-server.1.gz /usr/share/zorbix/web/index.html; do
  [ -e "$f" ] || fail "$f not installed"
done
getent passwd zorbix >/dev/null || fail "no system user zorbix"
[ "$(stat -c '%U %a' /var/lib/zorbix)" = "zorbix 750" ] || fail "/var/lib/zorbix is not zorbix's alone"
[ -f /var/lib/zorbix/2013模板.docx ] || fail "the report template was not seeded"
dpkg-query -W -f='${Conffiles}' zorbix-server | grep -q /etc/zorbix/server.conf ||
  fail "server.conf is no conffile"

# As systemd would start it: the settings' values, the package's user.
# shellcheck disable=SC1091
. /etc/zorbix/server.conf
# A store from an earlier install stays (it is never removed): a new name.
admin="chief$$"
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
$sudo setpriv --reuid=zorbix --regid=zorbix --clear-groups env -i PATH=/usr/bin:/bin \
  /usr/bin/zorbix-server --dir "$ZORBIX_DIR" --listen "127.0.0.1:$port" --init-admin "$admin" \
  >"$work/out.txt" 2>"$log" &
server=$!
base="http://127.0.0.1:$port"
for _ in $(seq 100); do
  curl -s -o /dev/null "$base/api/catalogue" && break
  sleep 0.1
done
status=$(curl -s -o "$work/index.html" -w '%{http_code}' "$base/")
[ "$status" = 200 ] && grep -q '登录' "$work/index.html" || fail "the login page answered $status"
password=$(sed -n 's/.*一次性密码：\([A-Za-z0-9-]*\)（.*/\1/p' "$work/out.txt")
[ -n "$password" ] || fail "no one-time password printed: $(cat "$work/out.txt")"
jar="$work/cookies"
login=$(curl -s -c "$jar" -H 'Content-Type: application/json' \
  -d "{\"name\":\"$admin\",\"password\":\"$password\"}" "$base/api/login")
csrf=$(printf '%s' "$login" | /usr/bin/python3 -c 'import json,sys; print(json.load(sys.stdin)["csrf"])') ||
  fail "login answered $login"
printf '%s' "$login" | grep -q '"must_change_password":true' || fail "the one-time password need not be changed"
status=$(curl -s -o /dev/null -w '%{http_code}' -b "$jar" -H "X-CSRF-Token: $csrf" \
  -H 'Content-Type: application/json' -d "{\"old\":\"$password\",\"new\":\"a-long-new-password\"}" \
  "$base/api/password")
[ "$status" = 200 ] || fail "password change answered $status"
status=$(curl -s -o "$work/projects.json" -w '%{http_code}' -b "$jar" "$base/api/projects")
[ "$status" = 200 ] || fail "the project list answered $status"
$sudo kill -TERM "$server"
wait "$server" || fail "the server did not stop cleanly on SIGTERM"
server=""
grep -q "POST /api/login 200" "$log" || fail "the log has no line for the login"
if grep -q "$password" "$log"; then fail "the log holds the password"; fi

$sudo dpkg -r zorbix-server >/dev/null
[ ! -e /usr/bin/zorbix-server ] || fail "/usr/bin/zorbix-server left after removal"
$sudo dpkg --purge zorbix-server >/dev/null
[ ! -e /etc/zorbix/server.conf ] || fail "server.conf left after purge"
[ -f /var/lib/zorbix/zorbix2013.db ] || fail "the store went with the package"
echo "server install test: passed"
