// curveview [DATA_DB PATIENT_ID ITEM | --record FILE] [-o OUT_PNG]
//
// Draws the reaction curve of one test into a PNG: the raw readings and the optical density the
// library makes of them, over time. The curve comes from a data.db of the workstation (the row
// of the patient's id and the test item), from a file holding one curve record, or, without
// arguments, from a synthetic clotting curve. The picture goes to OUT_PNG, or curve.png in the
// current directory.
//
// Exit codes: 0 picture written; 1 no curve to draw (missing or unusable file, no curve for the
// key, damaged record) or the picture could not be written; 2 wrong arguments.
#include "curveplot.h"
#include "syntheticcurve.h"

#include <profile.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <optional>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int fail(const QString &message)
{
    err() << "curveview: " << message << Qt::endl;
    return 1;
}

int usage(const QString &message)
{
    err() << "curveview: " << message << "\n"
          << "usage: curveview [DATA_DB PATIENT_ID ITEM | --record FILE] [-o OUT_PNG]" << Qt::endl;
    return 2;
}

struct Source
{
    ClotCurve curve;
    QString title;
};

// A curve record file, as ClotCurve::fromBuffer reads it.
std::optional<Source> fromRecordFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString()));
        return std::nullopt;
    }
    const ClotCurve curve = ClotCurve::fromBuffer(file.readAll());
    if (curve.isEmpty()) {
        fail(QStringLiteral("%1 holds no curve: the record is empty or damaged").arg(fileName));
        return std::nullopt;
    }
    return Source{ curve, QFileInfo(fileName).fileName() };
}

// Messages of the library while it opens the files of a working directory that curveview made
// for itself: warnings about its empty settings file say nothing about the user's data.
void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }

// The curve of (patientId, item) in dataFile, read with ClotCurve::load. The library opens
// profile.db, data.db and qc.db by bare name in the working directory, and would create the ones
// missing there; so curveview works in a temporary directory of its own where data.db is a link
// to the user's file, and leaves the directory of that file untouched.
std::optional<Source> fromDataFile(const QString &dataFile, int patientId, const QString &item,
                                   const QTemporaryDir &workDir)
{
    const QFileInfo info(dataFile);
    if (!info.isFile()) {
        fail(QStringLiteral("%1: no such file").arg(dataFile));
        return std::nullopt;
    }
    if (!QFile::link(info.absoluteFilePath(), workDir.filePath(QStringLiteral("data.db")))
        || !QDir::setCurrent(workDir.path())) {
        fail(QStringLiteral("cannot prepare a working directory in %1").arg(workDir.path()));
        return std::nullopt;
    }

    const QtMessageHandler previous = qInstallMessageHandler(quiet);
    Profile &profile = Profile::instance();
    qInstallMessageHandler(previous);

    // The library reports problems only as warnings; telling the user what is wrong needs a look
    // of our own at the file and the row.
    QSqlQuery query(profile.dataDatabase());
    if (!query.exec(
            QStringLiteral("select 1 from sqlite_master where type='table' and name='curve'"))) {
        fail(QStringLiteral("%1 is not a database").arg(dataFile));
        return std::nullopt;
    }
    if (!query.next()) {
        fail(QStringLiteral("%1 has no curve table").arg(dataFile));
        return std::nullopt;
    }
    query.prepare(QStringLiteral("select count(*) from curve where patientId=? and item=?"));
    query.addBindValue(patientId);
    query.addBindValue(item);
    if (!query.exec() || !query.next() || query.value(0).toInt() == 0) {
        fail(QStringLiteral("%1 holds no curve for patient %2, item %3")
                 .arg(dataFile, QString::number(patientId), item));
        return std::nullopt;
    }

    ClotCurve curve;
    curve.load(patientId, item);
    if (curve.isEmpty()) {
        fail(QStringLiteral("the curve of patient %1, item %2 in %3 is empty or damaged")
                 .arg(QString::number(patientId), item, dataFile));
        return std::nullopt;
    }
    return Source{ curve, QStringLiteral("%1, patient %2").arg(item, QString::number(patientId)) };
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing text needs a GUI application, but no display: the offscreen platform suffices.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList arguments = app.arguments().mid(1);
    QString output = QStringLiteral("curve.png");
    const int outputOption = arguments.indexOf(QStringLiteral("-o"));
    if (outputOption >= 0) {
        if (outputOption + 1 >= arguments.size())
            return usage(QStringLiteral("-o needs a file name"));
        output = arguments.at(outputOption + 1);
        arguments.erase(arguments.begin() + outputOption, arguments.begin() + outputOption + 2);
    }
    // Relative to where the user started us, whatever directory the loading moves to.
    output = QFileInfo(output).absoluteFilePath();

    QTemporaryDir workDir;
    std::optional<Source> source;
    if (arguments.isEmpty()) {
        source = Source{ syntheticClotCurve(), QStringLiteral("Synthetic clotting curve") };
    } else if (arguments.first() == QLatin1String("--record")) {
        if (arguments.size() != 2)
            return usage(QStringLiteral("--record takes one file name"));
        source = fromRecordFile(arguments.at(1));
    } else {
        if (arguments.size() != 3)
            return usage(QStringLiteral("expected DATA_DB PATIENT_ID ITEM"));
        bool ok = false;
        const int patientId = arguments.at(1).toInt(&ok);
        if (!ok)
            return usage(QStringLiteral("patient id %1 is not a number").arg(arguments.at(1)));
        if (!workDir.isValid())
            return fail(QStringLiteral("cannot make a temporary directory"));
        source = fromDataFile(arguments.at(0), patientId, arguments.at(2), workDir);
    }
    if (!source)
        return 1;

    const ClotCurve &curve = source->curve;
    if (curve.size() == 0)
        return fail(QStringLiteral("the curve has segments but no points to draw"));
    if (curve.type() != ClotCurve::Raw && curve.type() != ClotCurve::OpticalDensity)
        return fail(QStringLiteral("unknown point type %1").arg(static_cast<int>(curve.type())));
    // A curve stored as densities already has no raw readings to show.
    const ClotCurve raw = curve.type() == ClotCurve::Raw ? curve : ClotCurve();
    const QImage image = plotCurve(raw, curve.toType(ClotCurve::OpticalDensity), source->title);
    if (!image.save(output, "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(output));
    QTextStream(stdout) << output << Qt::endl;
    return 0;
}
