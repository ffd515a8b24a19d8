// Shows the settings store at work: in a temporary working directory it makes the three database
// files, writes a few named settings through one Profile, and reads them back through a fresh
// one, as the next start of the application would.
#include <profile.h>

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

bool createDatabase(const QString &fileName, const QString &statement)
{
    bool ok;
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
        db.setDatabaseName(fileName);
        ok = db.open() && QSqlQuery(db).exec(statement);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    return ok;
}

void print(QTextStream &out, Profile &profile)
{
    out << "  hospital           = " << profile.hospital(QStringLiteral("(none)")) << '\n'
        << "  color_of_waiting   = " << profile.color_of_waiting(Qt::gray).name() << '\n'
        << "  max_qc_file        = " << profile.max_qc_file(10) << '\n'
        << "  is_touch_screen    = " << (profile.is_touch_screen(false) ? "true" : "false") << '\n'
        << "  result_not_clotted = " << profile.result_not_clotted(Profile::tr("不凝"))
        << "   (not stored: the caller's default)\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path())) {
        QTextStream(stderr) << "cannot make a temporary working directory\n";
        return 1;
    }
    out << "working directory: " << dir.path() << '\n';
    if (!createDatabase(QStringLiteral("profile.db"),
                        QStringLiteral("create table profile (name text primary key, value)"))
        || !createDatabase(QStringLiteral("data.db"),
                           QStringLiteral("create table patient (id integer primary key)"))
        || !createDatabase(QStringLiteral("qc.db"),
                           QStringLiteral("create table qcFile (id integer primary key)"))) {
        QTextStream(stderr) << "cannot create the database files\n";
        return 1;
    }

    {
        Profile writer(QStringLiteral("profile.db"));
        writer.set_hospital(QStringLiteral("市第一人民医院"), true);
        writer.set_color_of_waiting(QColor(255, 136, 0), true);
        writer.set_max_qc_file(24, true);
        writer.set_is_touch_screen(true, true);
        writer.setValue(QStringLiteral("patient/sampleType"), QStringLiteral("血浆"), true);
        out << "written with save by the first Profile\n";
    }
    // A new Profile registers the connections again; dropping the old ones first keeps Qt from
    // warning about replacing connections that are still registered.
    for (const char *name : { "profile", "data", "qc" })
        QSqlDatabase::removeDatabase(QLatin1String(name));

    Profile reader(QStringLiteral("profile.db"));
    out << "read back by a fresh Profile:\n";
    print(out, reader);
    out << "  patient/sampleType = "
        << reader.value(QStringLiteral("patient/sampleType")).toString() << '\n';
    QStringList keys = reader.keys();
    keys.sort();
    out << "keys: " << keys.join(QStringLiteral(", ")) << '\n';
    return 0;
}
