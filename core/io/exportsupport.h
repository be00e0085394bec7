#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Pieces shared by the file writers. Number texts never depend on the
// process locale: a Qt application sets LC_NUMERIC from the environment, so
// printf-style formatting could write decimal commas.

// The text of the C library's %.15g in the C locale ("1.2e-05", "1e+15",
// "250", "-0"), except that every NaN is written "nan" whatever its sign bit.
QByteArray numberText15(double value);
// The same, appended to text without a buffer of its own.
void appendNumberText15(QByteArray &text, double value);

// The shortest text that reads back as exactly the same double; NaN as "nan".
QByteArray roundTripNumberText(double value);

// Text made safe for XML character data and for attribute values in double or
// single quotes. Characters that XML 1.0 cannot carry at all (control
// characters other than tab, line feed and carriage return, unpaired
// surrogates, U+FFFE and U+FFFF) are left out.
QString xmlEscaped(QStringView text);

// Writes data through a QSaveFile in one piece and commits; on failure the
// previous file at path stays as it was and *error (if given) receives the
// file's error text.
bool saveFileContents(const QString &path, const QByteArray &data, QString *error);
