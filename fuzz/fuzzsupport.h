#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares. LLVMFuzzerInitialize (in fuzzsupport.cpp)
// creates the one QGuiApplication on the offscreen platform, silences Qt's
// messages (qFatal still aborts) and prepares the work folder.
namespace fuzzsupport {

// A private folder for the whole run. It holds two small sources that
// fuzzed documents can name: "chart.png" and "chart.pdf" (three pages).
QString workFolder();

QByteArray bytes(const uint8_t *data, size_t size);

// Replaces the file of that name in the work folder with the input (and removes
// SQLite's side files of an earlier input); returns its absolute path.
QString writeInput(const uint8_t *data, size_t size, const QString &name);

// Stops the run as a finding: libFuzzer keeps the input that broke the promise.
[[noreturn]] void fail(const char *promise);

} // namespace fuzzsupport
