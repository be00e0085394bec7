#include "core/model/jsonfields.h"

#include <QString>

#include <algorithm>
#include <cmath>

QJsonValue numericValue(const QJsonValue &value)
{
    if (!value.isString())
        return value;
    bool ok = false;
    // QString::toDouble reads the C locale and allows blanks around the number.
    const double number = value.toString().toDouble(&ok);
    return ok && std::isfinite(number) ? QJsonValue(number) : value;
}

QJsonObject unknownKeys(const QJsonObject &object, std::initializer_list<QLatin1StringView> known)
{
    QJsonObject unknown;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QString key = it.key();
        if (std::none_of(known.begin(), known.end(), [&](QLatin1StringView name) { return key == name; }))
            unknown.insert(key, it.value());
    }
    return unknown;
}

QJsonObject withKeysKept(QJsonObject written, const QJsonObject &extra)
{
    for (auto it = extra.constBegin(); it != extra.constEnd(); ++it) {
        if (!written.contains(it.key()))
            written.insert(it.key(), it.value());
    }
    return written;
}
