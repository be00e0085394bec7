// Writes the seed corpora of the fuzz targets: files that the program itself
// makes (project files, databases, recent entries) and a few edge cases.
//
//   cmake --build build-fuzz --target plotmason_fuzz_seeds
//   build-fuzz/fuzz/plotmason_fuzz_seeds fuzz/corpus
//
// Each target's folder is emptied and written anew; seeds stay below 64 KiB.
#include "core/io/projectdatabase.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "fuzz/fuzzsources.h"
#include "window/recentprojects.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr qint64 maximumSeedSize = 64 * 1024;

[[noreturn]] void die(const QString &message)
{
    std::fprintf(stderr, "plotmason_fuzz_seeds: %s\n", qPrintable(message));
    std::exit(1);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        die(QStringLiteral("cannot read %1").arg(path));
    return file.readAll();
}

class Corpus
{
public:
    Corpus(const QString &root, const QString &target)
        : m_folder(QDir(root).filePath(target))
    {
        QDir(m_folder).removeRecursively();
        if (!QDir().mkpath(m_folder))
            die(QStringLiteral("cannot create %1").arg(m_folder));
    }
    void add(const QString &name, const QByteArray &data) const
    {
        if (data.size() > maximumSeedSize)
            die(QStringLiteral("seed %1 has %2 bytes").arg(name).arg(data.size()));
        QFile file(QDir(m_folder).filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            die(QStringLiteral("cannot write %1").arg(file.fileName()));
    }

private:
    QString m_folder;
};

void calibrate(ProjectModel &model)
{
    model.setAxisX(QLineF(4, 40, 60, 40), 0.0, 10.0);
    model.setAxisY(QLineF(4, 40, 4, 8), 0.0, 20.0);
}

// A calibrated project on the picture with two curves, one hidden and translucent.
void buildPictureProject(ProjectModel &model, const QString &source)
{
    if (!model.loadSource(source))
        die(QStringLiteral("cannot load %1").arg(source));
    calibrate(model);
    model.addPoint(QPointF(10, 30), QStringLiteral("Head"));
    model.addPoint(QPointF(20.5, 22.25));
    model.addPoint(QPointF(40, 12));
    model.addCurve(QStringLiteral("Eff \"η\", %"), QStringLiteral("n"), QStringLiteral("1,5"));
    model.addPoint(QPointF(30, 20));
    model.setCurveStyle(1, QColor(0xAB, 0xCD, 0xEF, 0x80), 3.5);
    model.setCurveVisible(1, false);
    model.setRegeneratedGraphSettings(
        {{QStringLiteral("title"), QStringLiteral("Pump")}, {QStringLiteral("xLog"), true}});
    model.setGraphViewSettings({{QStringLiteral("zoom"), 1.5}});
}

void buildPlainProject(ProjectModel &model)
{
    model.setAxisX(QLineF(100, 500, 500, 500), 0.0, 10.0);
    model.addPoint(QPointF(150, 450));
    model.addPoint(QPointF(160, 440));
    model.addCurve(QStringLiteral("Second"), QString(), QStringLiteral("7"));
    model.addPoint(QPointF(170, 430));
}

QByteArray projectFileBytes(const QString &folder, const QString &name,
                            const std::function<void(ProjectModel &)> &build)
{
    ProjectModel model;
    build(model);
    const QString path = QDir(folder).filePath(name);
    QString error;
    if (!saveProjectFile(path, model, &error))
        die(error);
    return readAll(path);
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QList<QPair<QString, QByteArray>> projectDocuments(const QString &folder)
{
    const QString png = QDir(folder).filePath(QStringLiteral("chart.png"));
    const QString pdf = QDir(folder).filePath(QStringLiteral("chart.pdf"));
    QList<QPair<QString, QByteArray>> documents;
    documents.append({QStringLiteral("picture.pmproj"),
                      projectFileBytes(folder, QStringLiteral("a.pmproj"),
                                       [&](ProjectModel &model) { buildPictureProject(model, png); })});
    documents.append({QStringLiteral("pdf.pmproj"),
                      projectFileBytes(folder, QStringLiteral("b.pmproj"), [&](ProjectModel &model) {
                          model.setRenderDpi(72);
                          buildPictureProject(model, pdf);
                          model.setPdfPage(2);
                      })});
    documents.append({QStringLiteral("plain.pmproj"),
                      projectFileBytes(folder, QStringLiteral("c.pmproj"), buildPlainProject)});
    documents.append({QStringLiteral("empty-model.pmproj"),
                      projectFileBytes(folder, QStringLiteral("d.pmproj"), [](ProjectModel &) {})});

    const QString tag = QStringLiteral("PlotmasonProject");
    documents.append({QStringLiteral("relative-source.json"),
                      compact({{QStringLiteral("format"), tag},
                               {QStringLiteral("sourcePath"), QStringLiteral("chart.png")},
                               {QStringLiteral("pdfPage"), -3},
                               {QStringLiteral("renderDpi"), 10}})});
    documents.append({QStringLiteral("pdf-page-beyond.json"),
                      compact({{QStringLiteral("format"), tag},
                               {QStringLiteral("sourcePath"), QStringLiteral("chart.pdf")},
                               {QStringLiteral("pdfPage"), 99},
                               {QStringLiteral("renderDpi"), 5000}})});
    documents.append({QStringLiteral("wrong-types.json"),
                      compact({{QStringLiteral("format"), tag},
                               {QStringLiteral("sourcePath"), 12},
                               {QStringLiteral("visibleLayers"), QStringLiteral("all")},
                               {QStringLiteral("calibration"), QJsonArray{1, 2}},
                               {QStringLiteral("curves"),
                                QJsonArray{7, QJsonObject{{QStringLiteral("name"), false},
                                                          {QStringLiteral("color"), QStringLiteral("#zz")},
                                                          {QStringLiteral("lineWidth"), 1e300},
                                                          {QStringLiteral("points"),
                                                           QJsonArray{QJsonValue(QJsonArray{}), 3}}}}},
                               {QStringLiteral("regeneratedGraphSettings"), QStringLiteral("x")}})});
    documents.append(
        {QStringLiteral("degenerate-calibration.json"),
         compact(
             {{QStringLiteral("format"), tag},
              {QStringLiteral("calibration"),
               QJsonObject{{QStringLiteral("axisXLine"),
                            QJsonObject{{QStringLiteral("x1"), 5}, {QStringLiteral("x2"), 5}}},
                           {QStringLiteral("axisYLine"),
                            QJsonObject{{QStringLiteral("y1"), 1e308}, {QStringLiteral("y2"), -1e308}}},
                           {QStringLiteral("xValue1"), 3},
                           {QStringLiteral("xValue2"), 3},
                           {QStringLiteral("axisXValid"), true},
                           {QStringLiteral("axisYValid"), true}}},
              {QStringLiteral("curves"),
               QJsonArray{QJsonObject{{QStringLiteral("points"),
                                       QJsonArray{QJsonObject{{QStringLiteral("x_pixel"), 1e308},
                                                              {QStringLiteral("y_pixel"), -4.9e-324}}}}}}},
              {QStringLiteral("visibleLayers"), 9007199254740993.0}})});
    documents.append({QStringLiteral("trailing-blank-format.json"),
                      compact({{QStringLiteral("format"), QStringLiteral("PlotmasonProject ")}})});
    documents.append(
        {QStringLiteral("top-level-array.json"), QByteArrayLiteral("[{\"format\":\"PlotmasonProject\"}]")});
    documents.append({QStringLiteral("truncated.json"), documents.first().second.left(300)});
    documents.append({QStringLiteral("empty.json"), QByteArray()});
    return documents;
}

// A database made by the program, rewritten with small pages so that it fits
// a seed; the content stays what storeProject wrote.
QByteArray compacted(const QString &path, const QStringList &extraStatements = {})
{
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seeds"));
        database.setDatabaseName(path);
        if (!database.open())
            die(database.lastError().text());
        QSqlQuery query(database);
        for (const QString &statement :
             extraStatements +
                 QStringList{QStringLiteral("PRAGMA page_size = 512"), QStringLiteral("VACUUM")}) {
            if (!query.exec(statement))
                die(statement + QLatin1String(": ") + query.lastError().text());
        }
        query = QSqlQuery();
        database.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seeds"));
    return readAll(path);
}

QString storedDatabase(const QString &folder, const QString &name,
                       const QList<QPair<QString, std::function<void(ProjectModel &)>>> &projects)
{
    const QString path = QDir(folder).filePath(name);
    for (const auto &project : projects) {
        ProjectModel model;
        project.second(model);
        QString error;
        if (!ProjectDatabase::storeProject(path, model, project.first, &error))
            die(error);
    }
    return path;
}

void writeDatabaseSeeds(const QString &root, const QString &folder)
{
    const Corpus corpus(root, QStringLiteral("database"));
    const QString png = QDir(folder).filePath(QStringLiteral("chart.png"));
    // The picture's file is gone by the time the fuzzer reads this one, so the
    // stored picture is what the load falls back to.
    const QString picturePath =
        storedDatabase(folder, QStringLiteral("picture.pmdb"),
                       {{QStringLiteral("Pump"), [&](ProjectModel &model) {
                             buildPictureProject(model, png);
                             model.setSourceImage(model.sourceImage(), QStringLiteral("/gone/chart.png"));
                         }}});
    corpus.add(QStringLiteral("picture.pmdb"), compacted(picturePath));

    const QString twoPath = storedDatabase(
        folder, QStringLiteral("two.pmdb"),
        {{QStringLiteral("Plain"), buildPlainProject}, {QStringLiteral("Empty"), [](ProjectModel &) {}}});
    corpus.add(QStringLiteral("two-projects.pmdb"), compacted(twoPath));

    // The older layout: the same rows in unprefixed tables, one project of another format.
    const QString legacyPath = storedDatabase(folder, QStringLiteral("legacy.pmdb"),
                                              {{QStringLiteral("Legacy"), buildPlainProject}});
    corpus.add(
        QStringLiteral("legacy.pmdb"),
        compacted(legacyPath,
                  {QStringLiteral("CREATE TABLE projects AS SELECT * FROM plotmason_projects"),
                   QStringLiteral("INSERT INTO projects VALUES(7, 'Other', '', '{\"format\":\"Other\"}', "
                                  "'2020-01-01T00:00:00Z', '2020-01-01T00:00:00Z')"),
                   QStringLiteral("CREATE TABLE curves AS SELECT * FROM plotmason_curves"),
                   QStringLiteral("CREATE TABLE points AS SELECT * FROM plotmason_points"),
                   QStringLiteral("CREATE TABLE regenerated_graph_settings (project_id INTEGER PRIMARY "
                                  "KEY, settings_json TEXT)"),
                   QStringLiteral("INSERT INTO regenerated_graph_settings SELECT id, '{\"title\":\"Old\"}' "
                                  "FROM projects"),
                   QStringLiteral("DROP TABLE plotmason_points"),
                   QStringLiteral("DROP TABLE plotmason_curves"),
                   QStringLiteral("DROP TABLE plotmason_images"),
                   QStringLiteral("DROP TABLE plotmason_regenerated_graph_settings"),
                   QStringLiteral("DROP TABLE plotmason_projects")}));

    const QString badPath = storedDatabase(folder, QStringLiteral("bad.pmdb"),
                                           {{QStringLiteral("Broken"), [](ProjectModel &) {}},
                                            {QStringLiteral("Foreign"), [](ProjectModel &) {}},
                                            {QStringLiteral("Array"), [](ProjectModel &) {}}});
    corpus.add(
        QStringLiteral("bad-rows.pmdb"),
        compacted(badPath, {QStringLiteral("UPDATE plotmason_projects SET project_json = '{\"format\":' "
                                           "WHERE name = 'Broken'"),
                            QStringLiteral("UPDATE plotmason_projects SET project_json = "
                                           "'{\"format\":\"Other\"}' WHERE name = 'Foreign'"),
                            QStringLiteral("UPDATE plotmason_projects SET project_json = '[1]' "
                                           "WHERE name = 'Array'")}));
    corpus.add(QStringLiteral("empty.pmdb"), QByteArray());
}

void writeRecentEntrySeeds(const QString &root, const QString &folder)
{
    const Corpus corpus(root, QStringLiteral("recententry"));
    // Entries as the program stores them: /tmp exists wherever the fuzzer runs.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings::setDefaultFormat(QSettings::IniFormat);
    addRecentProject(QStringLiteral("/tmp/"), QStringLiteral("  Pump curves "));
    addRecentProject(QStringLiteral("/tmp/./../tmp"), QStringLiteral("Ünïcode \"quoted\""));
    const QStringList stored = QSettings().value(QStringLiteral("projects/recentFiles")).toStringList();
    if (stored.size() != 2)
        die(QStringLiteral("the recent files were not stored"));
    for (int i = 0; i < stored.size(); ++i)
        corpus.add(QStringLiteral("stored-%1.json").arg(i + 1), stored[i].toUtf8());
    corpus.add(
        QStringLiteral("relative.json"),
        QByteArrayLiteral("{\"type\":\"database\",\"databasePath\":\"chart.png\",\"projectName\":\"A\"}"));
    corpus.add(
        QStringLiteral("blank-name.json"),
        QByteArrayLiteral("{\"type\":\"database\",\"databasePath\":\"/tmp\",\"projectName\":\" \\t\"}"));
    corpus.add(QStringLiteral("other-type.json"),
               QByteArrayLiteral("{\"type\":\"file\",\"databasePath\":\"/tmp\",\"projectName\":\"A\"}"));
    corpus.add(QStringLiteral("not-an-object.json"), QByteArrayLiteral("[\"database\"]"));
}

// A page of the given content with an ExtGState /GS0 and a form /F0 (which
// draws itself again), written with its streams uncompressed so that mutations
// reach the operators.
void addContentPage(QPDF &pdf, const char *content, const char *boxes)
{
    QPDFObjectHandle form = QPDFObjectHandle::newStream(&pdf, "0 0 m 100 100 l 0 0 1 RG S /F0 Do");
    form.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    form.getDict().replaceKey("/BBox", QPDFObjectHandle::parse("[0 0 200 200]"));
    form.getDict().replaceKey("/Matrix", QPDFObjectHandle::parse("[0.5 0.1 -0.1 0.5 10 20]"));
    QPDFObjectHandle page =
        QPDFObjectHandle::parse(std::string("<< /Type /Page ") + boxes +
                                " /Resources << /ExtGState << /GS0 << /LW 3 /D [[2 1] 0] >> >>"
                                " /XObject << >> >> >>");
    page.getKey("/Resources").getKey("/XObject").replaceKey("/F0", form);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
    QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
}

QByteArray uncompressedPdf(QPDF &pdf)
{
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setCompressStreams(false);
    writer.setStaticID(true);
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()), qsizetype(buffer->getSize()));
}

// PDF pages whose drawing is read: every path operator and graphics state the
// reader follows, a turned and cropped page, and a chart as QPdfWriter writes it.
void writePdfDrawingSeeds(const QString &root, const QString &folder)
{
    const Corpus corpus(root, QStringLiteral("pdfdrawing"));
    {
        QPDF pdf;
        pdf.emptyPDF();
        addContentPage(
            pdf,
            "q 1 0 0 RG 2 w [4 2] 0 d 10 10 m 100 50 l 150 20 200 80 250 10 c 260 40 300 60 v "
            "320 10 330 90 y h S Q 0 0 1 rg 50 50 20 20 re f 0.5 G 0.2 0.3 0.4 0.1 K 5 5 m 6 6 l B "
            "/GS0 gs 2 0 0 2 5 5 cm /F0 Do BI /W 1 /H 1 /BPC 8 /CS /G ID x EI 1 1 m 9 9 l s "
            "/P0 << /MCID 0 >> BDC 0 0 m 3 3 l S EMC 40 40 m 80 40 l 60 80 l b*",
            "/MediaBox [0 0 400 300] /Rotate 90 /CropBox [10 10 380 290]");
        corpus.add(QStringLiteral("operators.pdf"), uncompressedPdf(pdf));
    }
    {
        QPDF pdf;
        pdf.emptyPDF();
        addContentPage(pdf, "0 0 m 10 0 l 10 10 l S", "/MediaBox [0 0 200 200]");
        addContentPage(pdf, "/DeviceRGB CS 0.1 0.2 0.3 SC 20 20 100 50 re S 0 0 m 50 0 l 50 0 l S",
                       "/MediaBox [-50 -50 250 150] /Rotate -90");
        corpus.add(QStringLiteral("two-pages.pdf"), uncompressedPdf(pdf));
    }
    {
        // A scale of 1e300 in cm beside coordinates of the page's own size, inside a clip.
        const std::string huge = "1" + std::string(300, '0');
        QPDF pdf;
        pdf.emptyPDF();
        addContentPage(pdf,
                       ("q 20 20 160 160 re W n 5 5 m 50 60 l S 1 0 0 1 0 100 cm " + huge + " 0 0 " + huge +
                        " 0 0 cm -1 0 m 1 0 l 0.5 0.001 l 0 0 m -1 1 1 -1 0 0 c S Q")
                           .c_str(),
                       "/MediaBox [0 0 200 200]");
        corpus.add(QStringLiteral("huge-scale.pdf"), uncompressedPdf(pdf));
    }
    const QString chart = QDir(folder).filePath(QStringLiteral("seed-chart.pdf"));
    {
        QPdfWriter writer(chart);
        writer.setPageLayout(
            QPageLayout(QPageSize(QSize(300, 200), QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
        writer.setResolution(72);
        QPainter painter(&writer);
        painter.setPen(QPen(Qt::black, 0.75));
        painter.drawLine(QPointF(30, 170), QPointF(280, 170));
        painter.drawLine(QPointF(30, 170), QPointF(30, 20));
        painter.setPen(QPen(Qt::blue, 1.25, Qt::DashLine));
        painter.drawPolyline(QPolygonF({{30, 160}, {90, 120}, {150, 130}, {210, 60}, {270, 40}}));
        painter.setPen(QPen(Qt::red, 0.5));
        painter.setBrush(Qt::red);
        for (int i = 0; i < 4; ++i)
            painter.drawEllipse(QPointF(60 + 60 * i, 150 - 30 * i), 2.5, 2.5);
    }
    corpus.add(QStringLiteral("chart.pdf"), readAll(chart));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Plotmason"));
    QCoreApplication::setApplicationName(QStringLiteral("Plotmason"));
    if (argc != 2)
        die(QStringLiteral("usage: plotmason_fuzz_seeds <corpus folder>"));
    const QString root = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir temporary;
    if (!temporary.isValid())
        die(QStringLiteral("no temporary folder"));
    const QString folder = temporary.path();
    writeFuzzSources(QDir(folder));

    const QList<QPair<QString, QByteArray>> documents = projectDocuments(folder);
    const Corpus projectFiles(root, QStringLiteral("projectfile"));
    const Corpus projectJson(root, QStringLiteral("projectjson"));
    for (const auto &document : documents) {
        projectFiles.add(document.first, document.second);
        projectJson.add(document.first, document.second);
    }
    writeDatabaseSeeds(root, folder);
    writeRecentEntrySeeds(root, folder);
    writePdfDrawingSeeds(root, folder);
    return 0;
}
