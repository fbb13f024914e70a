#!/usr/bin/env bash
# The batch tool's long runs on 32767 projects, once on an SQLite store and
# once on a PostgreSQL store reached by its local socket, side by side with
# their ratio. Each time is a whole run of zorbix-cli: starting, opening the
# store, the work and the exit. Runs inside a throw-away cluster
# (pg_virtualenv) unless PGHOST is already set. Lines of figures over their
# goal on PostgreSQL say MISSED (bench/run_all.sh lists them).
#   engines_side_by_side.sh [ZORBIX_CLI]
set -uo pipefail
export LC_ALL=C.UTF-8
cli=${1:-$(dirname "$0")/../build/program/zorbix-cli}
cli=$(realpath "$cli")
if [ -z "${PGHOST:-}" ]; then exec pg_virtualenv -t "$0" "$cli"; fi

sqlite_dir=$(mktemp -d) postgres_dir=$(mktemp -d) files=$(mktemp -d)
trap 'rm -rf "$sqlite_dir" "$postgres_dir" "$files"' EXIT
psql -q -c "CREATE DATABASE zorbix_bench" >/dev/null
database="dbname=zorbix_bench"

seconds() {  # seconds a command takes
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || echo "bench: failed: $*" >&2
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

# The summaries' templates, as an installation has them beside the program.
for dir in "$sqlite_dir" "$postgres_dir"; do
  find "$(dirname "$cli")" -maxdepth 1 -name '*.xlsx' -exec cp {} "$dir" \;
done
"$cli" --dir "$files" demo 32767 >/dev/null 2>&1
"$cli" --dir "$files" submit "$files/all.kj" >/dev/null 2>&1
"$cli" --dir "$sqlite_dir" --yes append "$files/all.kj" >/dev/null 2>&1

printf '%-28s %10s %10s %7s %8s\n' "run" "SQLite" "PostgreSQL" "ratio" "goal"
compare() {  # name goal args...
  local name=$1 goal=$2
  shift 2
  local s p verdict=""
  s=$(seconds "$cli" --dir "$sqlite_dir" "$@")
  p=$(seconds "$cli" --dir "$postgres_dir" --database "$database" "$@")
  if [ "$(echo "$p > $goal" | bc)" = 1 ]; then verdict=" MISSED"; fi
  printf '%-28s %9.3fs %9.3fs %6.1fx %7ss%s\n' "$name" "$s" "$p" "$(echo "$p / $s" | bc -l)" \
    "$goal" "$verdict"
}
compare "append 32767" 5 --yes append "$files/all.kj"
compare "open and first record" 0.3 get "$("$cli" --dir "$sqlite_dir" list | head -1 | cut -f1)" JB01
compare "walk all (list)" 1 list
compare "check all" 1.5 check
compare "twelve summaries" 1 summarize
compare "backup" 2 backup
