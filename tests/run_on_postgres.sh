#!/usr/bin/env bash
# Runs the tests that touch the store a second time against PostgreSQL, in a
# throw-away cluster that pg_virtualenv makes and removes (as root too: -t
# keeps the cluster in a temporary folder). Each program directory of a test
# gets a database of its own (tests/support/test_database.h).
set -euo pipefail
build=${1:-build}
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen ZORBIX_TEST_POSTGRES=1
# The store, the batch tool end to end, the crash tests, and the operations
# that walk, append, check and reconcile the store.
pattern='Authorization|LoginCalls|ProjectCalls|ProjectVersions|ProjectSubmit|ProjectFiles|ProjectTables|Sessions|AccountCreation|CliAccount|Tls|Store|RecordSet|Demo|Shared|Migration|Postgres|Concurrent|Cli|Crash|Append|Reconcil|FindingsIdentity|DemoFindings'
exec pg_virtualenv -t ctest --test-dir "$build" --output-on-failure -j2 --timeout 600 \
  -LE office-client -R "$pattern"
