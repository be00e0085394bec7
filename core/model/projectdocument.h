#pragma once

#include "core/model/curve.h"

#include <QByteArrayView>
#include <QJsonObject>
#include <QList>
#include <QString>

// A project document as read from a file or the database: every top-level key
// but "curves" as JSON, and the curves with their points read into their
// storage. The curves are as stored: names are not made unique yet, and an
// empty list stands for a document without curves.
struct ProjectDocument
{
    QJsonObject object;
    QList<Curve> curves;
};

// The tolerant reading of a parsed document: values of the wrong type take
// their defaults, numbers may be written as text, other keys are kept.
ProjectDocument projectDocumentFrom(const QJsonObject &object);
// One curve object without its "points"; see projectDocumentFrom.
Curve curveFromJson(const QJsonObject &object);

enum class JsonReading {
    Read,
    Unreadable,  // the file could not be read; the reason is the file's error text
    NotJson,     // the reason is the JSON parser's text
    NotAnObject, // valid JSON whose root is no object
};

// Reads a project document from JSON text, or from a file in blocks, without
// ever holding a document of the whole text: only the points' own storage
// grows with the file. Exactly as tolerant as QJsonDocument followed by
// projectDocumentFrom, whose texts the reasons are.
JsonReading readProjectJson(QByteArrayView text, ProjectDocument *document, QString *reason);
JsonReading readProjectJsonFile(const QString &path, ProjectDocument *document, QString *reason);
// The same through QJsonDocument and projectDocumentFrom: what the stream falls
// back on where it cannot be sure, and the reference it is checked against.
JsonReading readProjectJsonWithDocument(const QByteArray &text, ProjectDocument *document, QString *reason);
