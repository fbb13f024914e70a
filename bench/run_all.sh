#!/usr/bin/env bash
# Runs every benchmark given, whatever the ones before found, and lists the
# figures that missed their targets at the end (exit status 1 when any did,
# or when a benchmark failed to run to its end).
#   run_all.sh BENCHMARK...
set -uo pipefail
export LC_ALL=C.UTF-8
missed=()
failed=()
for bench in "$@"; do
  name=$(basename "$bench")
  echo "== $name"
  log=$(mktemp)
  "$bench" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  while IFS= read -r line; do missed+=("$name: $line"); done < <(grep 'MISSED' "$log")
  # A benchmark that ended badly without a missed figure failed to run.
  if [ "$status" -ne 0 ] && ! grep -q 'MISSED' "$log"; then failed+=("$name (exit status $status)"); fi
  rm -f "$log"
done
echo
if [ ${#missed[@]} -eq 0 ] && [ ${#failed[@]} -eq 0 ]; then
  echo "bench: every figure within its target (${#} benchmarks)"
  exit 0
fi
[ ${#missed[@]} -gt 0 ] && { echo "bench: ${#missed[@]} figures missed their targets:"; printf '  %s\n' "${missed[@]}"; }
[ ${#failed[@]} -gt 0 ] && { echo "bench: did not run to their end:"; printf '  %s\n' "${failed[@]}"; }
exit 1
