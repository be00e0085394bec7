#pragma once

#include "axisfinding/axisfinder.h"

#include <memory>

namespace tesseract {
class TessBaseAPI;
}

namespace axisfinding {

// Tick labels read by Tesseract, restricted to the characters of numbers, on
// each label's crop scaled up so that small print reads as well as large.
class TesseractReader : public LabelReader
{
public:
    TesseractReader();
    ~TesseractReader() override;
    // False when the engine or its English data cannot be started.
    bool isReady() const { return m_api != nullptr; }
    QString read(const QImage &picture, const QRect &box) const override;
    QStringList otherReadings(const QImage &picture, const QRect &box) const override;

private:
    QString recognized(const QImage &crop) const;

    std::unique_ptr<tesseract::TessBaseAPI> m_api;
};

} // namespace axisfinding
