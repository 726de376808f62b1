#!/usr/bin/env bash
# The set-up step: makes the default data source once and never overwrites what exists.
set -euo pipefail
root="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export ODBCINI="$tmp/odbc.ini" XDG_DATA_HOME="$tmp/data"
: > "$ODBCINI"
db="$XDG_DATA_HOME/orvida/vardo.db"
fail() { echo "FAIL: $*"; exit 1; }

"$root/scripts/setup-datasource" >/dev/null
[ -f "$db" ] || fail "no database made"
odbcinst -q -s -n vardo | grep -q "Database=$db" || fail "vardo not registered"
grep -q '^NoCreat=1' "$ODBCINI" || fail "NoCreat not set"
grep -qi '^NoTXN' "$ODBCINI" && fail "NoTXN must not be set"

[ "$(sqlite3 "$db" 'SELECT count(*), min(s), max(s) FROM gz123_m')" = "51|140|190" ] || fail "boys' heights"
[ "$(sqlite3 "$db" 'SELECT count(*), min(s), max(s) FROM gz123_w')" = "46|140|185" ] || fail "girls' heights"
for t in gz123_m gz123_w; do
  bad=$(sqlite3 "$db" "SELECT count(*) FROM $t WHERE NOT (z1 < z2 AND z2 < z3 AND z3 < z4)")
  [ "$bad" = 0 ] || fail "$t has bounds out of order"
  bad=$(sqlite3 "$db" "SELECT count(*) FROM $t a JOIN $t b ON b.s = a.s + 1 WHERE b.z2 < a.z2 OR b.z3 < a.z3")
  [ "$bad" = 0 ] || fail "$t bounds do not rise with height"
done
[ "$(sqlite3 "$db" 'SELECT count(*) FROM xmsz')" = 0 ] || fail "xmsz should start empty"
[ "$(sqlite3 "$db" 'PRAGMA journal_mode')" = wal ] || fail "the database is not in WAL journal mode"

# A schema that fails leaves neither a database nor a half-built file behind.
broken="$tmp/broken"
mkdir -p "$broken/scripts" "$broken/resources/sql" "$tmp/data-broken"
cp "$root/scripts/setup-datasource" "$broken/scripts/"
cp "$root/resources/sql/"*.sql "$broken/resources/sql/"
echo "INSERT INTO no_such_table VALUES (1);" >> "$broken/resources/sql/gz123.seed.sql"
if ODBCINI="$tmp/odbc-broken.ini" XDG_DATA_HOME="$tmp/data-broken" "$broken/scripts/setup-datasource" >/dev/null 2>&1; then
  fail "a failing schema was reported as success"
fi
leftovers=$(find "$tmp/data-broken" -type f | wc -l)
[ "$leftovers" = 0 ] || fail "a failed set-up left $leftovers file(s): $(find "$tmp/data-broken" -type f)"

# Twice: the first database's rows stay.
sqlite3 "$db" "INSERT INTO xmsz (nj, xm_z_m) VALUES ('31', '1')"
"$root/scripts/setup-datasource" >/dev/null
[ "$(sqlite3 "$db" "SELECT xm_z_m FROM xmsz WHERE nj = '31'")" = 1 ] || fail "second set-up lost the rows"
[ "$(grep -c '^\[vardo\]' "$ODBCINI")" = 1 ] || fail "vardo registered twice"

# A registered data source is left alone, even when its database is elsewhere.
printf '[vardo]\nDriver=SQLite3\nDatabase=%s/elsewhere.db\n' "$tmp" > "$ODBCINI"
rm -f "$db"
"$root/scripts/setup-datasource" >/dev/null
[ ! -e "$db" ] || fail "made a database although vardo exists"
grep -q elsewhere.db "$ODBCINI" || fail "changed the existing data source"

# A database without a data source is kept and registered.
: > "$ODBCINI"
mkdir -p "$(dirname "$db")"
sqlite3 "$db" "CREATE TABLE xmsz (nj char(2)); INSERT INTO xmsz VALUES ('32')"
"$root/scripts/setup-datasource" >/dev/null
[ "$(sqlite3 "$db" 'SELECT nj FROM xmsz')" = 32 ] || fail "replaced an existing database"
odbcinst -q -s -n vardo | grep -q "Database=$db" || fail "existing database not registered"

echo "1 passed, 0 failed"
