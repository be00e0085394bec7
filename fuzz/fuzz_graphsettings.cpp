// The regenerated graph's settings, as stored inside a project.
#include "fuzz/fuzzsupport.h"
#include "graph/graphsettings.h"

#include <QJsonDocument>

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QJsonDocument document = QJsonDocument::fromJson(fuzzsupport::bytes(data, size));
    if (!document.isObject())
        return 0;
    GraphSettings settings;
    settings.applyJson(document.object());
    // The controls' ranges hold whatever the file said.
    if (!(settings.widthCm >= 1 && settings.widthCm <= 200 && settings.heightCm >= 1 &&
          settings.heightCm <= 200))
        fuzzsupport::fail("the output size stays within 1..200 cm");
    if (settings.dpi < 72 || settings.dpi > 1200)
        fuzzsupport::fail("the DPI stays within 72..1200");
    for (double limit : {settings.xMin, settings.xMax, settings.yMin, settings.yMax}) {
        if (!std::isfinite(limit))
            fuzzsupport::fail("the axis limits stay finite");
    }
    // What is written reads back the same.
    GraphSettings again;
    again.applyJson(settings.toJson());
    if (!(again == settings))
        fuzzsupport::fail("applied settings survive their own JSON");
    (void)outputPixelSize(settings);
    return 0;
}
