#!/usr/bin/env bash
# Runs the whole suite a second time against PostgreSQL, in a throw-away
# cluster that pg_virtualenv makes and removes (as root too: -t keeps the
# cluster in a temporary folder). Each program directory of a test gets a
# database of its own (tests/support/test_database.h); tests that concern
# only an SQLite file say so and skip. The browser tests run on one engine.
#   run_on_postgres.sh [BUILD_DIR] [CTEST_ARGS...]
set -euo pipefail
build=${1:-build}
shift || true
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen ZORBIX_TEST_POSTGRES=1
exec pg_virtualenv -t ctest --test-dir "$build" --output-on-failure -j2 --timeout 600 \
  -LE 'office-client|browser' "$@"
