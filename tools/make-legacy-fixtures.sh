#!/usr/bin/env bash
# Writes profile.db, data.db and qc.db as the workstation application left them at a schema
# version (0, 1 or 2), with representative rows: Chinese text, quotes, NULLs, reals and blobs.
# Existing files of those names in DIR are replaced.
#
#   tools/make-legacy-fixtures.sh DIR VERSION
set -euo pipefail

if [ $# -ne 2 ] || [[ ! "$2" =~ ^[012]$ ]]; then
    echo "usage: $0 DIR VERSION(0|1|2)" >&2
    exit 2
fi
dir=$1
version=$2
mkdir -p "$dir"
rm -f "$dir/profile.db" "$dir/data.db" "$dir/qc.db"

# ---- profile.db ------------------------------------------------------------------------------
{
cat <<'EOF'
begin;
create table profile (name text primary key on conflict replace, value);
insert into profile values('hospital', '第一人民医院');
insert into profile values('department', 'O''Brien''s lab');
insert into profile values('schedule/sample', 8);
insert into profile values('schedule/test/PT', 30);
insert into profile values('DD/max_clot_time', 180);
insert into profile values('DD/disable', 1);
insert into profile values('FDP/disable', 'true');
insert into profile values('XII/disable', NULL);
insert into profile values('analyst/FIB/odThreshold', '1,0.1');
insert into profile values('patient/sampleType', '样本');
insert into profile values('color_of_waiting', '#808080');
insert into profile values('analyst/PT/isi', 1.02);

create table curve (id integer primary key, name text, type integer, createTime text);
create table curvePoint (curveId integer references curve, x real, y real);
create table curveVariable (curveId integer references curve, name text, value);
create table curveReagent (curveId integer references curve, reagent text, lot text);
insert into curve values(1, 'PT 标准曲线', 0, '2023-05-04 08:30:00');
insert into curve values(2, 'FIB', 1, '2023-06-01 10:00:00');
insert into curve values(3, 'D''Dimer', 2, NULL);
insert into curvePoint values(1, 10.5, 0.25), (1, 20.25, 0.5), (2, 1.5e-3, 123456.789), (3, 0.1, 0.2);
insert into curveVariable values(1, 'a', 1.25), (2, 'b', 'x''y'), (3, 'c', NULL);
insert into curveReagent values(1, 'PT 试剂', 'L2023'), (2, 'FIB', NULL), (3, 'DD', 'L''1');

create table reagent (id integer primary key, type integer, name text unique, initVolume integer,
                      alarmLimit integer, vialType integer);
insert into reagent values(1, 0, 'PT', 4000, 400, 1);
insert into reagent values(2, 0, 'Latex', 1000, 100, 2);
insert into reagent values(3, 2, 'Buffer', 5000, 300, 6);
insert into reagent values(4, 2, 'Saline', 5000, 300, 6);
insert into reagent values(5, 1, '清洗液', 20000, 2000, 9);

create table assayCalibration (name text, funX text, funY text, points blob);
insert into assayCalibration values('DD', 'Lin', 'Lin', x'00ff10'), ('PT', 'Log', 'Log', NULL);
create table assayItem (name text, precision integer, unit text);
insert into assayItem values('OD', 3, NULL), ('PT', 1, 's'), ('FIB', 2, 'g/L');
EOF
if [ "$version" -eq 0 ]; then
cat <<'EOF'
create table user (id integer primary key, name text unique, password text, level integer);
insert into user values(1, 'admin', 'e10adc3949ba59abbe56e057f20f883e', 9);
insert into user values(2, '张医生', 'pa''ss', 1);
insert into user values(3, 'O''Neil', NULL, 0);
insert into user values(4, 'service', '', 5);
create unique index curve_index on curve(name);
create trigger deleteCurve after delete on curve
begin
    delete from curvePoint where curvePoint.curveId = old.id;
end;
EOF
else
cat <<'EOF'
create table user(
	id integer primary key,
	name text unique COLLATE NOCASE,
	password text,
	level integer default 0,
	hide integer default 0 );
insert into user values(1, 'admin', 'e10adc3949ba59abbe56e057f20f883e', 9, 0);
insert into user values(2, '张医生', 'pa''ss', 1, 0);
insert into user values(3, 'O''Neil', NULL, 0, 1);
insert into user values(4, 'service', '', 5, 1);
create table curveInfo (
	curveId integer references curve,
	name text not null,
	value,
	unique (curveId, name) on conflict replace
	);
insert into curveInfo values(1, 'channel', 2), (2, 'note', '调试');
create trigger deleteCurve after delete on curve
begin
	delete from curvePoint    where    curvePoint.curveId = old.id;
	delete from curveVariable where curveVariable.curveId = old.id;
	delete from curveReagent  where  curveReagent.curveId = old.id;
	delete from curveInfo     where     curveInfo.curveId = old.id;
end;
create table version(version integer);
EOF
if [ "$version" -eq 1 ]; then
cat <<'EOF'
create unique index curve_index on curve(name);
insert into version values(1);
EOF
else
cat <<'EOF'
alter table curve add column instrUuid text;
create unique index curve_index on curve(name, instrUuid);
insert into curve values(4, 'PT 标准曲线', 0, '2024-01-02 09:00:00', '{7f9c2ba4-e88f-11e3-a5f1-0800200c9a66}');
insert into version values(2);
EOF
fi
fi
echo "commit;"
} | sqlite3 "$dir/profile.db"

# ---- data.db ---------------------------------------------------------------------------------
lookup_rows() {
    local table=$1
    cat <<EOF
insert into $table values(1, 'nk', '内科');
insert into $table values(2, 'WK', '外科');
insert into $table values(3, 'O''B', 'O''Brien''s');
insert into $table values(4, NULL, '未知');
insert into $table values(5, 'x', NULL);
EOF
}
# The trigger that removes a deleted patient's rows; from version 2 on it covers detail too.
patient_trigger() {
    echo "create trigger on_delete_patient after delete on patient"
    echo "begin"
    printf '\tdelete from exam where old.sampleNo = exam.sampleNo and old.date = exam.date;\n'
    for table in result patientExtra curve; do
        printf '\tdelete from %s where old.id = %s.patientId;\n' "$table" "$table"
    done
    if [ "${1:-}" = with-detail ]; then
        printf '\tdelete from detail where old.id = detail.patientId;\n'
    fi
    echo "end;"
}
{
echo "begin;"
if [ "$version" -eq 0 ]; then
cat <<'EOF'
create table patient (id integer primary key, sampleNo integer, date text, name text, sex text,
                      age integer, department text, doctor text, photo blob);
EOF
else
cat <<'EOF'
create table patient (id integer primary key, sampleNo integer, date text, name text, sex text,
                      age integer, department text, doctor text, photo blob, sampleType text,
                      hospitalNo text);
EOF
fi
cat <<'EOF'
create table exam (id integer primary key, sampleNo integer, date text, item text);
create table result (id integer primary key, patientId integer, item text, value real, flags integer);
create table patientExtra (patientId integer, name text, value);
create table curve (id integer primary key, patientId integer, item text, curve blob);
insert into patient (id, sampleNo, date, name, sex, age, department, doctor, photo) values
    (1, 1, '2024-03-01', '王小明', 'M', 45, 'nk', '李医生', x'89504e470d0a1a0a'),
    (2, 2, '2024-03-01', 'O''Connor', 'F', NULL, 'WK', NULL, NULL),
    (3, 1, '2024-03-02', NULL, NULL, 9223372036854775807, NULL, '', x'');
insert into exam (sampleNo, date, item) values (1, '2024-03-01', 'PT'), (1, '2024-03-01', 'APTT'),
    (2, '2024-03-01', 'FIB'), (1, '2024-03-02', 'PT');
insert into result (patientId, item, value, flags) values (1, 'PT', 12.3, 0), (1, 'APTT', 999.9, 4),
    (2, 'FIB', 0.1, NULL), (3, 'PT', 11.0, 0);
insert into patientExtra values (1, 'bed', '12床'), (2, 'note', 'it''s late'), (3, 'weight', 61.5);
insert into curve (patientId, item, curve) values (1, 'PT', x'0102030405'), (2, 'FIB', x'00'),
    (3, 'PT', NULL);
EOF
if [ "$version" -eq 0 ]; then
    for table in department sex treatmentRoom diagnosis doctor operator; do
        echo "create table $table (id integer primary key, abbr text, name text);"
        lookup_rows "$table"
    done
    patient_trigger
else
    for table in department sex treatmentRoom diagnosis doctor operator; do
        printf 'create table %s(\n\tid integer primary key,\n\tabbr text COLLATE NOCASE,\n\tname text);\n' "$table"
        echo "create index if not exists ${table}_index on $table (abbr);"
        lookup_rows "$table"
    done
cat <<'EOF'
create table detail(
	id integer primary key,
	patientId integer references patient,
	item text,
	info text,
	unique(patientId, item) on conflict replace);
insert into detail (patientId, item, info) values (1, 'PT', '通道 1'), (2, 'FIB', 'channel ''B''');
create table version(version integer);
EOF
if [ "$version" -eq 1 ]; then
    patient_trigger
    echo "insert into version values(1);"
else
    patient_trigger with-detail
    echo "insert into version values(2);"
fi
fi
echo "commit;"
} | sqlite3 "$dir/data.db"

# ---- qc.db -----------------------------------------------------------------------------------
sqlite3 "$dir/qc.db" <<'EOF'
begin;
create table qcFile (id integer primary key, item text, lot text, level integer, target real, sd real);
create table qcResult (id integer primary key, fileId integer references qcFile, value real, time text, note text);
insert into qcFile values (1, 'PT', 'QC''2024', 1, 12.5, 0.6), (2, 'FIB', '质控 II', 2, 2.8, NULL);
insert into qcResult values (1, 1, 12.4, '2024-03-01 08:00', NULL), (2, 1, 13.1, '2024-03-02 08:00', '偏高'),
    (3, 2, 2.75, '2024-03-01 08:05', 'it''s ok');
commit;
EOF
