#!/usr/bin/env bash
# The rekey's journal is the engine's own rollback journal: a plain database
# is made and filled by the sqlite3 shell, codec_crash_writer keys it and
# ends itself in the middle of rewriting its pages (the journal written, some
# pages under the new key), and the sqlite3 shell, which knows nothing of
# the codec, then rolls the hot journal back at its first read: the
# database is as the shell left it, byte for byte, and whole.
#   hot_journal_shell.sh CODEC_CRASH_WRITER.exe
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/env.sh"
writer=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "hot_journal_shell: $*"; exit 1; }
db=$work/plain.db

sqlite3 "$db" "PRAGMA page_size = 1024; CREATE TABLE t(a, b); BEGIN;
    WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 199)
    INSERT INTO t SELECT i, 'row ' || i || ' with some padding text' FROM n; COMMIT;"
cp "$db" "$work/before.db"
rc=0
uw_wine_env uw_wine "$writer" "$(uw_windows_path "$db")" - rekey-plain 5 || rc=$?
[ "$rc" -eq 9 ] || fail "codec_crash_writer ended with $rc, not at its fifth page write (9)"
[ -s "$db-journal" ] || fail "no journal was left behind"
cmp -s "$db" "$work/before.db" && fail "no page was rewritten under the new key"
head -c 8 "$db-journal" | od -An -tx1 | tr -d ' \n' | grep -qx d9d505f920a163d7 ||
    fail "the journal does not start with the engine's magic"

check=$(sqlite3 "$db" "PRAGMA integrity_check; SELECT count(*), sum(a) FROM t;
    SELECT count(*) FROM t WHERE b = 'row ' || a || ' with some padding text';" 2>&1) || :
[ "$check" = $'ok\n200|19900\n200' ] || fail "after the shell's rollback: $check"
[ ! -s "$db-journal" ] || fail "the shell left the journal hot"
cmp -s "$db" "$work/before.db" || fail "the rolled-back database differs from the one the shell made"
echo "hot_journal_shell: the sqlite3 shell rolled back the codec's journal of a rekey ended midway"
