#!/usr/bin/env bash
# Test programs started together (ctest -j starts every test case as a
# process of its own, often within the same millisecond) each work in a
# temporary folder of their own and leave none behind.
#   own_folders_test.sh PROGRAM[:FILTER]...
# Runs four copies of each program at once with the same gtest random seed,
# each repeated, under a TMPDIR of this test's own, and fails when a copy
# fails or when anything is left in that TMPDIR.
set -euo pipefail
export LC_ALL=C.UTF-8
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export TMPDIR=$tmp
status=0
for entry in "$@"; do
  program=${entry%%:*}
  filter='*'
  [ "$entry" != "$program" ] && filter=${entry#*:}
  pids=()
  for copy in 1 2 3 4; do
    "$program" --gtest_filter="$filter" --gtest_random_seed=1 --gtest_repeat=10 \
      >"$tmp.$copy.log" 2>&1 &
    pids+=($!)
  done
  for copy in 1 2 3 4; do
    if ! wait "${pids[$((copy - 1))]}"; then
      echo "own folders: copy $copy of $program ($filter) failed:"
      grep -m 5 -B 2 -A 5 'Failure\|FAILED\|terminate' "$tmp.$copy.log" || tail -20 "$tmp.$copy.log"
      status=1
    fi
    rm -f "$tmp.$copy.log"
  done
done
left=$(ls -A "$tmp")
if [ -n "$left" ]; then
  echo "own folders: left behind in TMPDIR:"
  echo "$left"
  status=1
fi
exit $status
