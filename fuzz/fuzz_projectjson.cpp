// Any JSON object given to the tolerant loader, as the database hands it over:
// a source that cannot be read does not refuse the document.
#include "fuzz/projectchecks.h"

#include <QJsonDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QJsonDocument document = QJsonDocument::fromJson(fuzzsupport::bytes(data, size));
    if (!document.isObject())
        return 0;
    ProjectModel model;
    if (!model.applyProjectJson(document.object(), fuzzsupport::workFolder(), true))
        return 0;
    fuzzsupport::checkLoadedModel(model);
    fuzzsupport::checkReloadIsStable(model, true);
    return 0;
}
