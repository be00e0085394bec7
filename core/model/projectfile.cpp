#include "core/model/projectfile.h"

#include "core/io/exportsupport.h"
#include "core/model/projectmodel.h"

#include <QFileInfo>

#include <utility>

namespace {
void report(QString *error, const QString &message)
{
    if (error)
        *error = message;
}
} // namespace

bool saveProjectFile(const QString &path, const ProjectModel &model, QString *error)
{
    return saveFileContents(path, model.indentedProjectJson(), error);
}

bool openProjectFile(const QString &path, ProjectModel &model, QString *error, ProjectPicture picture)
{
    ProjectDocument document;
    QString reason;
    switch (readProjectJsonFile(path, &document, &reason)) {
    case JsonReading::Unreadable: report(error, reason); return false;
    // Valid JSON of the wrong shape has no parse error to quote.
    case JsonReading::NotAnObject: reason = QStringLiteral("radice non oggetto."); [[fallthrough]];
    case JsonReading::NotJson:
        report(error, QStringLiteral("Progetto JSON non valido: %1").arg(reason));
        return false;
    case JsonReading::Read: break;
    }
    if (!model.applyProjectDocument(std::move(document), QFileInfo(path).absolutePath(),
                                    picture == ProjectPicture::MayBeMissing,
                                    picture != ProjectPicture::Unread)) {
        const QString reason = model.lastError();
        report(error, reason.isEmpty() ? QStringLiteral("Formato progetto non riconosciuto.") : reason);
        return false;
    }
    return true;
}
