#pragma once

#include "core/model/projectmodel.h"
#include "fuzz/fuzzsupport.h"

#include <QJsonDocument>

#include <cstdio>

// Promises of a model that accepted a stored document, shared by the targets
// that load projects.
namespace fuzzsupport {

inline void checkLoadedModel(const ProjectModel &model)
{
    if (model.curves().isEmpty())
        fail("a loaded project has at least one curve");
    if (model.activeCurveIndex() < 0)
        fail("the active curve of a loaded project exists");
    if (model.renderDpi() < ProjectModel::minimumRenderDpi ||
        model.renderDpi() > ProjectModel::maximumRenderDpi)
        fail("the resolution stays within its bounds");
    if (model.pdfPage() < 0 || (model.pdfPageCount() > 0 && model.pdfPage() >= model.pdfPageCount()))
        fail("the PDF page exists");
    for (const Curve &curve : model.curves()) {
        if (!(curve.lineWidth >= minimumLineWidth && curve.lineWidth <= maximumLineWidth))
            fail("line widths stay within their bounds");
        if (!curve.color.isValid())
            fail("curve colours are valid");
    }
}

// Saving what was loaded and loading that again must change nothing more:
// whatever the first load dropped or normalised, the second finds nothing left.
// The saved source path is absolute; without a base folder the second load
// takes it as it is instead of looking for a missing file beside the project.
inline void checkReloadIsStable(const ProjectModel &model, bool allowMissingSource)
{
    const QByteArray first = QJsonDocument(model.projectJson()).toJson(QJsonDocument::Compact);
    ProjectModel again;
    if (!again.applyProjectJson(QJsonDocument::fromJson(first).object(), QString(), allowMissingSource))
        fail("a saved project loads again");
    const QByteArray second = QJsonDocument(again.projectJson()).toJson(QJsonDocument::Compact);
    if (second != first) {
        qsizetype at = 0;
        while (at < first.size() && at < second.size() && first[at] == second[at])
            ++at;
        const qsizetype from = qMax<qsizetype>(0, at - 80);
        std::fprintf(stderr, "saved:    ...%s\nreloaded: ...%s\n", first.mid(from, 200).constData(),
                     second.mid(from, 200).constData());
        fail("a saved and reloaded project is the same project");
    }
}

// The streaming reader against QJsonDocument on the same text: the same
// verdict, the same parse error and the same document.
inline void checkReadLikeDocument(const QByteArray &text, JsonReading reading,
                                  const ProjectDocument &document, const QString &reason)
{
    QJsonParseError error;
    const QJsonDocument parsed = QJsonDocument::fromJson(text, &error);
    const JsonReading expected = parsed.isNull()      ? JsonReading::NotJson
                                 : !parsed.isObject() ? JsonReading::NotAnObject
                                                      : JsonReading::Read;
    if (reading != expected)
        fail("the streaming reader accepts and refuses what QJsonDocument does");
    if (reading == JsonReading::NotJson && reason != error.errorString())
        fail("the streaming reader gives QJsonDocument's parse error");
    if (reading != JsonReading::Read)
        return;
    const ProjectDocument judged = projectDocumentFrom(parsed.object());
    if (document.object != judged.object || document.curves != judged.curves)
        fail("the streaming reader reads the document QJsonDocument reads");
}

} // namespace fuzzsupport
