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

// Every pixel black or white, split halfway between the darkest and the lightest.
QImage inBlackAndWhite(QImage grey)
{
    int darkest = 255, lightest = 0;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            darkest = std::min<int>(darkest, line[x]), lightest = std::max<int>(lightest, line[x]);
    }
    const int middle = (darkest + lightest) / 2;
    for (int y = 0; y < grey.height(); ++y) {
        uchar *line = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            line[x] = line[x] <= middle ? 0 : 255;
    }
    return grey;
}

// The box enlarged to Tesseract's reading size, grey, with a white margin.
QImage readingCrop(const QImage &picture, const QRect &box)
{
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
    return crop;
}

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
    const auto hasDigit = [](const QString &text) {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    };
    const QString text = recognized(readingCrop(picture, box));
    if (hasDigit(text))
        return text;
    const QStringList others = otherReadings(picture, box);
    const auto withDigit = std::find_if(others.begin(), others.end(), hasDigit);
    return withDigit != others.end() ? *withDigit : text;
}

QStringList TesseractReader::otherReadings(const QImage &picture, const QRect &box) const
{
    if (!m_api || box.isEmpty() || picture.isNull())
        return {};
    // On a compressed scan the box of the dark ink can cut a glyph's faint edge, and grey
    // fringes can hide the digits: a pixel more on every side, plain black on white, or both.
    const QRect wider = box.adjusted(-1, -1, 1, 1).intersected(picture.rect());
    return {recognized(inBlackAndWhite(readingCrop(picture, wider))), recognized(readingCrop(picture, wider)),
            recognized(inBlackAndWhite(readingCrop(picture, box)))};
}

QString TesseractReader::recognized(const QImage &crop) const
{
    m_api->SetImage(crop.constBits(), crop.width(), crop.height(), 1, int(crop.bytesPerLine()));
    const std::unique_ptr<char[]> text(m_api->GetUTF8Text());
    return text ? QString::fromUtf8(text.get()).simplified() : QString();
}

} // namespace axisfinding
