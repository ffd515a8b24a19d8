#include "updateprofile.h"

#include <array>

namespace {

const char userDefinition[]
    = "create table user(\n\tid integer primary key,\n\tname text unique COLLATE NOCASE,\n"
      "\tpassword text,\n\tlevel integer default 0,\n\thide integer default 0 )";

const UpdateStatement versionOneSteps[] = {
    { __LINE__,
      "-- curve debug info, since v1\ncreate table curveInfo (\n\tcurveId integer references "
      "curve,\n"
      "\tname text not null,\n\tvalue,\n\tunique (curveId, name) on conflict replace\n\t)" },
    { __LINE__, "drop trigger if exists deleteCurve" },
    { __LINE__,
      "create trigger deleteCurve after delete on curve \nbegin \n"
      "\tdelete from curvePoint    where    curvePoint.curveId = old.id;\n"
      "\tdelete from curveVariable where curveVariable.curveId = old.id;\n"
      "\tdelete from curveReagent  where  curveReagent.curveId = old.id;\n"
      "\tdelete from curveInfo     where     curveInfo.curveId = old.id;\nend" },
    { __LINE__, "create table version(version integer)" },
};

const UpdateStatement versionTwoSteps[] = {
    { __LINE__, "alter table curve add column instrUuid text" },
    { __LINE__, "drop index curve_index" },
    { __LINE__, "create unique index curve_index on curve(name, instrUuid)" },
};

// A statement of the settings written on every run; labels are the translation sources put in
// for %1, %2, ... in this order.
struct Setting
{
    int line;
    const char *sql;
    std::array<const char *, 4> labels = {};
};

// One statement a line, as written, so that each can be found by its text.
// clang-format off
const Setting settings[] = {
    { __LINE__, "insert into profile values('FIB/report/dilution', '1/10')" },
    { __LINE__, "insert into profile values('dilution', '%1;1/5;1/10;1/20;1/30,%2;1/5;1/10;1/20;1/30;1/40,%3;1/1;1/2;1/4;1/8,%4;1/1;3/4;1/2;1/4')", { QT_TRANSLATE_NOOP("UpdateProfile", "梯度1"), QT_TRANSLATE_NOOP("UpdateProfile", "梯度2"), QT_TRANSLATE_NOOP("UpdateProfile", "梯度3"), QT_TRANSLATE_NOOP("UpdateProfile", "梯度4") } },
    { __LINE__, "insert into profile values('patient/sampleType',\t'%1')", { QT_TRANSLATE_NOOP("UpdateProfile", "样本类型") } },
    { __LINE__, "delete from reagent where name = 'Buffer'" },
    { __LINE__, "delete from reagent where name = 'Latex'" },
    { __LINE__, "delete from reagent where name = 'Saline'" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(0, 'Latex',\t     2000, 200, 3)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(0, 'FDP',           2000, 200, 3)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(2, 'Saline',\t     6500, 200, 6)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(2, 'Buffer(PT)',    6500, 200, 6)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(2, 'Buffer(APTT)',  6500, 200, 6)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(2, 'Buffer(FIB)',   6500, 200, 6)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(2, 'Buffer(TT)',    6500, 200, 6)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(2, 'Buffer(DD)',    6500, 200, 6)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(2, 'Buffer(EX)',    6500, 200, 6)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(2, 'Buffer(EN)',    6500, 200, 6)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(2, 'Buffer(FDP)',   6500, 200, 6)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(5, 'DD ct',         1000, 200, 1)" },
    { __LINE__, "replace into reagent (type, name, initVolume, alarmLimit, vialType) values(5, 'FDP ct',        1000, 200, 1)" },
    { __LINE__, "replace into profile values('DD/mix/times',\t\t\t3)" },
    { __LINE__, "replace into profile values('DD/max_clot_time',\t\t240)" },
    { __LINE__, "replace into profile values('specialValue/DD/P',\t\t0.1)" },
    { __LINE__, "replace into profile values('DD/priority',\t\t\t10)" },
    { __LINE__, "replace into profile values('FDP/max_clot_time',\t\t240)" },
    { __LINE__, "replace into profile values('specialValue/FDP/P',\t\t0.1)" },
    { __LINE__, "delete from profile where name='DD/disable'" },
    { __LINE__, "delete from profile where name='II/disable'" },
    { __LINE__, "delete from profile where name='V/disable'" },
    { __LINE__, "delete from profile where name='VII/disable'" },
    { __LINE__, "delete from profile where name='X/disable'" },
    { __LINE__, "delete from profile where name='VIII/disable'" },
    { __LINE__, "delete from profile where name='IX/disable'" },
    { __LINE__, "delete from profile where name='XI/disable'" },
    { __LINE__, "delete from profile where name='XII/disable'" },
    { __LINE__, "delete from profile where name='FDP/disable'" },
    { __LINE__, "insert into profile values('reagent/initVolume',\t'%1')", { QT_TRANSLATE_NOOP("UpdateProfile", "初始量[ul]") } },
    { __LINE__, "insert into profile values('reagent/alarmLimit',\t'%1')", { QT_TRANSLATE_NOOP("UpdateProfile", "报警限[ul]") } },
    { __LINE__, "insert into profile values('reagent/interruptLimit','%1')", { QT_TRANSLATE_NOOP("UpdateProfile", "中断限[ul]") } },
    { __LINE__, "insert into profile values('patient/hospitalNo',\t'%1')", { QT_TRANSLATE_NOOP("UpdateProfile", "住院号") } },
    { __LINE__, "update assayCalibration set funX='Log' where name='DD'" },
    { __LINE__, "update assayItem set precision=0 where name='OD'" },
    { __LINE__, "insert or abort into profile values('schedule/sample',\t\t6)" },
    { __LINE__, "insert or abort into profile values('schedule/reagent',\t\t6)" },
    { __LINE__, "insert or abort into profile values('schedule/mix',\t\t\t2)" },
    { __LINE__, "insert or abort into profile values('schedule/dilution',\t\t12)" },
    { __LINE__, "insert or abort into profile values('schedule/dilution/1/10',\t12)" },
    { __LINE__, "insert or abort into profile values('schedule/dilution/1/20',\t17)" },
    { __LINE__, "insert or abort into profile values('schedule/dilution/1/40',\t22)" },
    { __LINE__, "insert or abort into profile values('schedule/clean',\t\t\t10)" },
    { __LINE__, "insert or abort into profile values('schedule/test/PT',\t\t27)" },
    { __LINE__, "insert or abort into profile values('schedule/test/FIB/table', '0.2,25;0.1,35;0.05,45;0.025,65')" },
    { __LINE__, "insert or abort into profile values('schedule/test/APTT',\t\t50)" },
    { __LINE__, "insert or abort into profile values('schedule/test/TT',\t\t35)" },
    { __LINE__, "insert or abort into profile values('schedule/test/II',\t\t30)" },
    { __LINE__, "insert or abort into profile values('schedule/test/V',\t\t30)" },
    { __LINE__, "insert or abort into profile values('schedule/test/VII',\t\t30)" },
    { __LINE__, "insert or abort into profile values('schedule/test/X',\t\t30)" },
    { __LINE__, "insert or abort into profile values('schedule/test/VIII',\t\t30)" },
    { __LINE__, "insert or abort into profile values('schedule/test/IX',\t\t30)" },
    { __LINE__, "insert or abort into profile values('schedule/test/XI',\t\t30)" },
    { __LINE__, "insert or abort into profile values('schedule/test/XII',\t\t30)" },
    { __LINE__, "insert or abort into profile values('analyst/FIB/odPercent', \t\t0.5)" },
    { __LINE__, "replace into profile values('analyst/FIB/odThreshold',\t'4,0.008; 6,0.004; 10,0.0025; 20,0.001; 40,0.0005')" },
};
// clang-format on

// The statement with its labels translated. A quote in a translation is doubled so that it stays
// inside its literal instead of ending it.
QString statementOf(const Setting &setting)
{
    const QString sql = QString::fromUtf8(setting.sql);
    QStringList labels;
    for (const char *label : setting.labels) {
        if (label)
            labels << UpdateProfile::tr(label).replace(QLatin1Char('\''), QLatin1String("''"));
    }
    switch (labels.size()) {
    case 0:
        return sql;
    case 1:
        return sql.arg(labels.at(0));
    default:
        Q_ASSERT(labels.size() == 4);
        return sql.arg(labels.at(0), labels.at(1), labels.at(2), labels.at(3));
    }
}

} // namespace

UpdateProfile::UpdateProfile(QObject *parent) : UpdateBase(QStringLiteral("profile.db"), parent) { }

bool UpdateProfile::update()
{
    if (!isWritable())
        return false;
    const char *file = relativeSourcePath(__FILE__);
    if (version() < 1) {
        if (!rebuildTable(QStringLiteral("user"), QString::fromUtf8(userDefinition), QString(),
                          file, __LINE__))
            return false;
        exec(versionOneSteps, file);
    }
    if (version() < 2)
        exec(versionTwoSteps, file);
    if (!writeVersion(DBUPDATE_HERE))
        return false;
    for (const Setting &setting : settings)
        exec(statementOf(setting), file, setting.line);
    return true;
}
