#!/usr/bin/env bash
# The main job: installs what the project needs, builds it, and upgrades a demo working directory
# (./demo) holding version-0 database files from the legacy fixture generator with dbupdate. Shows
# each file's schema version before and after, the log, and dbupdate's exit code, which it also
# ends with.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build

demo=demo
rm -rf "$demo"
bash tools/make-legacy-fixtures.sh "$demo" 0
cp build/dbupdate/dbupdate_en.qm "$demo/"

print_versions() {
    local file version
    for file in profile.db data.db qc.db; do
        version=$(sqlite3 "$demo/$file" "select version from version" 2>/dev/null || true)
        printf '  %-11s %s\n' "$file" "${version:-none (no version table)}"
    done
}

echo
echo "== Schema versions before"
print_versions
echo
echo "== (cd $demo && dbupdate update.log dbupdate_en)"
status=0
(cd "$demo" && ../build/dbupdate/dbupdate update.log dbupdate_en) || status=$?
echo
echo "== Schema versions after"
print_versions
echo
echo "== $demo/update.log"
cat "$demo/update.log"
echo
echo "== Labels written into profile.db (English translation)"
sqlite3 "$demo/profile.db" "select name || ' = ' || value from profile where name in
    ('patient/sampleType', 'patient/hospitalNo', 'reagent/initVolume', 'dilution') order by name"
echo
echo "== dbupdate exit code: $status"
exit "$status"
