#include "updatedata.h"

namespace {

const UpdateStatement patientColumns[] = {
    { __LINE__, "alter table patient add sampleType text" },
    { __LINE__, "alter table patient add hospitalNo text" },
};

// The lookup tables, rebuilt in this order so that their abbreviations compare without regard to
// letter case and are indexed.
struct LookupTable
{
    int line;
    const char *name;
};
const LookupTable lookupTables[] = {
    { __LINE__, "department" }, { __LINE__, "sex" },    { __LINE__, "treatmentRoom" },
    { __LINE__, "diagnosis" },  { __LINE__, "doctor" }, { __LINE__, "operator" },
};
const char lookupTableDefinition[]
    = "create table %1(\n\tid integer primary key,\n\tabbr text COLLATE NOCASE,\n\tname text)";
const char lookupTableIndex[] = "create index if not exists %1_index on %1 (abbr)";

const UpdateStatement versionOneTail[] = {
    { __LINE__,
      "create table detail(\n\tid integer primary key,\n\tpatientId integer references patient,\n"
      "\titem text,\t\t\t\t\t\t\t\t\t\t-- 测量项目, 如PT\n"
      "\tinfo text,\t\t\t\t\t\t\t\t\t\t-- 测试详细信息, 如测试通道等\n"
      "\tunique(patientId, item) on conflict replace)" },
    { __LINE__, "create table version(version integer)" },
};

const UpdateStatement versionTwoSteps[] = {
    { __LINE__, "drop trigger on_delete_patient" },
    { __LINE__,
      "create trigger on_delete_patient after delete on patient\nbegin\n"
      "\tdelete from exam where old.sampleNo = exam.sampleNo and old.date = exam.date;\n"
      "\tdelete from result where old.id = result.patientId;\n"
      "\tdelete from patientExtra where old.id = patientExtra.patientId;\n"
      "\tdelete from curve where old.id = curve.patientId;\n"
      "\tdelete from detail where old.id = detail.patientId;\nend" },
};

} // namespace

UpdateData::UpdateData(QObject *parent) : UpdateBase(QStringLiteral("data.db"), parent) { }

bool UpdateData::update()
{
    if (!isWritable())
        return false;
    const char *file = relativeSourcePath(__FILE__);
    if (version() < 1) {
        exec(patientColumns, file);
        for (const LookupTable &table : lookupTables) {
            const QString name = QString::fromLatin1(table.name);
            if (!rebuildTable(name, QString::fromLatin1(lookupTableDefinition).arg(name),
                              QString::fromLatin1(lookupTableIndex).arg(name), file, table.line))
                return false;
        }
        exec(versionOneTail, file);
    }
    if (version() < 2)
        exec(versionTwoSteps, file);
    return writeVersion(DBUPDATE_HERE);
}
