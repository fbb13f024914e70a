#!/usr/bin/env bash
# Installs the two packages of build/packages/ on this (disposable test)
# machine, uses the installed programs as an ordinary user with a temporary
# HOME, checks that the files land in that user's data folder, removes the
# packages and checks that nothing of ours is left outside it. Needs root or
# sudo; says so and skips otherwise.
set -euo pipefail
# The templates' and outputs' Chinese file names need a UTF-8 locale, whatever
# the caller's (a fresh machine or `env -i` has none).
export LC_ALL=C.UTF-8
cd "$(dirname "$0")/../.."
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! sudo -n true 2>/dev/null; then
    echo "install test: skipped (needs root or sudo)"
    exit 0
  fi
  sudo="sudo -n"
fi
fail() { echo "install test: $*" >&2; exit 1; }
home=$(mktemp -d)
cleanup() {
  $sudo dpkg -r zorbix-office zorbix >/dev/null 2>&1 || true
  rm -rf "$home"
}
trap cleanup EXIT

$sudo dpkg -i build/packages/zorbix_*.deb build/packages/zorbix-office_*.deb >/dev/null
for f in /usr/bin/zorbix /usr/bin/zorbix-cli /usr/share/applications/zorbix.desktop \
  /usr/share/man/man1/zorbix-cli.1.gz /usr/share/zorbix/2013模板.docx \
  /usr/share/zorbix/office/人才培养情况.xlsx /usr/share/icons/hicolor/scalable/apps/zorbix.svg; do
  [ -e "$f" ] || fail "$f not installed"
done

# An ordinary user: nobody, with a HOME of its own.
chown nobody "$home" 2>/dev/null || $sudo chown nobody "$home"
as_user() { $sudo setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env -i HOME="$home" PATH=/usr/bin:/bin "$@"; }
data="$home/.local/share/zorbix"
[ "$(as_user /usr/bin/zorbix-cli where)" = "$data" ] || fail "where does not name $data"
as_user /usr/bin/zorbix-cli demo 20 >/dev/null
as_user /usr/bin/zorbix-cli check >/dev/null
number=$(as_user /usr/bin/zorbix-cli list | head -1 | cut -f1)
as_user /usr/bin/zorbix-cli report --project "$number" >/dev/null
as_user /usr/bin/zorbix-cli summarize >/dev/null
for f in zorbix2013.db 2013模板.docx "$number.docx" 人才培养情况.xlsx 人才培养情况_2013.xlsx; do
  [ -f "$data/$f" ] || fail "$data/$f missing"
done
/usr/bin/zorbix-cli --version | grep -q "$(sed -nE 's/^project\(zorbix .*VERSION ([0-9.]+)\)/\1/p' CMakeLists.txt)" ||
  fail "--version does not show the project version"

$sudo dpkg -r zorbix-office zorbix >/dev/null
left=$(dpkg -L zorbix zorbix-office 2>/dev/null | grep -c zorbix || true)
for f in /usr/bin/zorbix /usr/bin/zorbix-cli /usr/share/zorbix /usr/share/applications/zorbix.desktop \
  /usr/share/man/man1/zorbix-cli.1.gz /usr/share/doc/zorbix; do
  [ ! -e "$f" ] || fail "$f left after removal"
done
[ "$left" -eq 0 ] || fail "dpkg still lists files"
[ -f "$data/zorbix2013.db" ] || fail "the user's store went with the package"
echo "install test: passed"
