#!/usr/bin/env bash
# Runs each benchmark given twice, on an SQLite store and on a PostgreSQL
# store reached by the local socket, and prints their figures side by side
# with the ratio. The PostgreSQL run measures against its own targets and
# says MISSED where one is not met (exit status 1 then). Runs inside a
# throw-away cluster (pg_virtualenv) unless PGHOST is already set.
#   on_both_engines.sh BENCHMARK...
set -uo pipefail
export LC_ALL=C.UTF-8
if [ -z "${PGHOST:-}" ]; then exec pg_virtualenv -t "$0" "$@"; fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
status=0
for bench in "$@"; do
  name=$(basename "$bench")
  env -u ZORBIX_BENCH_POSTGRES "$bench" >"$logs/$name.sqlite" 2>&1
  ZORBIX_BENCH_POSTGRES=1 "$bench" >"$logs/$name.postgres" 2>&1 || status=1
  echo "== $name"
  /usr/bin/python3 - "$logs/$name.sqlite" "$logs/$name.postgres" <<'PY' || status=1
import re, sys
figure = re.compile(r"^(.*?)\s+(-?[0-9.]+) (\S+)\s+\(target (<|>=) ([0-9.]+) \S*\s*\) (ok|MISSED)")
def figures(path):
    out = {}
    for line in open(path, encoding="utf-8", errors="replace"):
        m = figure.match(line.rstrip("\n"))
        if m: out[m.group(1)] = m.groups()[1:]
    return out
sqlite, postgres = figures(sys.argv[1]), figures(sys.argv[2])
if not postgres:
    print("  the PostgreSQL run printed no figures:")
    print(open(sys.argv[2], encoding="utf-8", errors="replace").read())
    sys.exit(1)
print(f"  {'figure':<58} {'SQLite':>10} {'PostgreSQL':>11} {'ratio':>6}  target")
for what, (value, unit, sense, target, verdict) in postgres.items():
    s = sqlite.get(what)
    ratio = f"{float(value) / float(s[0]):5.1f}x" if s and float(s[0]) > 0 else "     -"
    print(f"  {what:<58} {s[0] if s else '-':>8} {unit:<2}{value:>9} {unit:<2}{ratio}  {sense} {target} {unit}"
          + ("" if verdict == "ok" else "  MISSED"))
PY
done
exit $status
