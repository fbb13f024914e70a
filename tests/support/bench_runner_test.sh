#!/usr/bin/env bash
# The benchmark command runs every benchmark even after one missed a target
# or failed, and lists the missed figures at the end.
set -euo pipefail
runner=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '#!/bin/sh\necho "first figure   1.0 s (target < 0.5 s) MISSED"\nexit 1\n' >"$tmp/a_bench"
printf '#!/bin/sh\necho "second figure  1.0 s (target < 2 s) ok"\n' >"$tmp/b_bench"
printf '#!/bin/sh\nexit 3\n' >"$tmp/c_bench"
printf '#!/bin/sh\necho "fourth figure  9.0 s (target < 2 s) MISSED"\nexit 1\n' >"$tmp/d_bench"
chmod +x "$tmp"/*_bench
if "$runner" "$tmp/a_bench" "$tmp/b_bench" "$tmp/c_bench" "$tmp/d_bench" >"$tmp/out" 2>&1; then
  echo "bench runner: succeeded although targets were missed"; exit 1
fi
cat "$tmp/out"
grep -q '^== d_bench' "$tmp/out" || { echo "bench runner: stopped before the last benchmark"; exit 1; }
tail -6 "$tmp/out" | grep -q 'a_bench: first figure' || { echo "bench runner: a_bench's miss not listed at the end"; exit 1; }
tail -6 "$tmp/out" | grep -q 'd_bench: fourth figure' || { echo "bench runner: d_bench's miss not listed at the end"; exit 1; }
tail -6 "$tmp/out" | grep -q 'c_bench (exit status 3)' || { echo "bench runner: c_bench's failure not listed"; exit 1; }
