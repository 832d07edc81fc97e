#!/usr/bin/env bash
# userlistctl's standard output as a script reads it: every line ends in LF
# alone, the store's log lines included, and they come in the order they
# were written (here: a store that is no database, logged before the
# command's refusal on standard error).
set -euo pipefail
program=$1
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"

work=$(mktemp -d /tmp/uwout.XXXXXX)
trap 'rm -rf "$work"' EXIT
head -c 4096 /dev/zero | tr '\0' 'j' > "$work/UserSign.dat"
fail() { echo "FAILED: $*"; exit 1; }

status=0
VMRDETECT_LIST_FILE="Z:${work//\//\\}\\lists.txt" LANG=$UW_WINE_LOCALE LC_ALL=$UW_WINE_LOCALE \
    uw_wine "$program" --store "$work/UserSign.dat" list > "$work/out" 2> "$work/err" || status=$?
[ "$status" = 6 ] || fail "exit code $status, not 6: $(cat "$work/err")"
grep -q '^\[ORBDBSqliteConn::' "$work/out" || fail "no log line of the store on standard output: $(head -c 300 "$work/out")"
if grep -q $'\r' "$work/out"; then
    fail "a line of standard output ends in CR LF: $(grep -c $'\r' "$work/out") of $(wc -l < "$work/out")"
fi
[ "$(tail -c 1 "$work/out" | od -An -c | tr -d ' ')" = '\n' ] || fail "standard output does not end in LF"
echo "userlistctl's $(wc -l < "$work/out") lines of standard output end in LF"
