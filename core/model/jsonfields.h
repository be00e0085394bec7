#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1StringView>

#include <initializer_list>

// Reading and writing the fields of a stored document the way hand-edited and
// newer files need: numbers typed as text, and keys this program does not know.

// A number written as text ("160", " 1e3") as that number; any other value,
// and text that is no finite number, as it is.
QJsonValue numericValue(const QJsonValue &value);

// The keys of object that are not among known, with their values, so that a
// save can write back what a newer or another program stored beside ours.
QJsonObject unknownKeys(const QJsonObject &object, std::initializer_list<QLatin1StringView> known);

// written with every key of extra that it does not hold itself.
QJsonObject withKeysKept(QJsonObject written, const QJsonObject &extra);
