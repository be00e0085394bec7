#include "core/model/projectfile.h"

#include "core/io/exportsupport.h"
#include "core/model/projectmodel.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace {
void report(QString *error, const QString &message)
{
    if (error)
        *error = message;
}
} // namespace

bool saveProjectFile(const QString &path, const ProjectModel &model, QString *error)
{
    return saveFileContents(path, QJsonDocument(model.projectJson()).toJson(QJsonDocument::Indented), error);
}

bool openProjectFile(const QString &path, ProjectModel &model, QString *error, ProjectPicture picture)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report(error, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (document.isNull() || !document.isObject()) {
        // Valid JSON of the wrong shape has no parse error to quote.
        const QString reason =
            document.isNull() ? parseError.errorString() : QStringLiteral("radice non oggetto.");
        report(error, QStringLiteral("Progetto JSON non valido: %1").arg(reason));
        return false;
    }
    if (!model.applyProjectJson(document.object(), QFileInfo(path).absolutePath(),
                                picture == ProjectPicture::MayBeMissing, picture != ProjectPicture::Unread)) {
        const QString reason = model.lastError();
        report(error, reason.isEmpty() ? QStringLiteral("Formato progetto non riconosciuto.") : reason);
        return false;
    }
    return true;
}
