#include "axisfinding/tesseractreader.h"

#include <tesseract/baseapi.h>

#include <QPainter>

#include <algorithm>
#include <memory>

namespace axisfinding {

namespace {

// Tesseract reads best with capitals about this tall, and a white margin.
constexpr int readingHeight = 48;
constexpr int margin = 12;
constexpr int largestSide = 2000;

} // namespace

TesseractReader::TesseractReader()
{
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    if (api->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) != 0)
        return;
    api->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    api->SetVariable("tessedit_char_whitelist", "0123456789.,-+eE");
    api->SetVariable("debug_file", "/dev/null");
    m_api = std::move(api);
}

TesseractReader::~TesseractReader()
{
    if (m_api)
        m_api->End();
}

QString TesseractReader::read(const QImage &picture, const QRect &box) const
{
    if (!m_api || box.isEmpty() || picture.isNull())
        return {};
    const double factor = std::clamp(double(readingHeight) / box.height(), 1.0, 8.0);
    const QSize scaled(std::min(largestSide, int(box.width() * factor)),
                       std::min(largestSide, int(box.height() * factor)));
    QImage crop(scaled + QSize(2 * margin, 2 * margin), QImage::Format_Grayscale8);
    crop.fill(Qt::white);
    QPainter painter(&crop);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(margin, margin), scaled),
                      picture.copy(box).convertToFormat(QImage::Format_Grayscale8));
    painter.end();
    m_api->SetImage(crop.constBits(), crop.width(), crop.height(), 1, int(crop.bytesPerLine()));
    const std::unique_ptr<char[]> text(m_api->GetUTF8Text());
    return text ? QString::fromUtf8(text.get()).simplified() : QString();
}

} // namespace axisfinding
