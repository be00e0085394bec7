// Any JSON text given to the streaming reader and the tolerant loader, as the
// database hands it over: a source that cannot be read does not refuse the
// document. The reader must read exactly what QJsonDocument reads.
#include "fuzz/projectchecks.h"

#include <QJsonDocument>

#include <utility>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = fuzzsupport::bytes(data, size);
    ProjectDocument document;
    QString reason;
    const JsonReading reading = readProjectJson(text, &document, &reason);
    fuzzsupport::checkReadLikeDocument(text, reading, document, reason);
    if (reading != JsonReading::Read)
        return 0;
    ProjectModel model;
    if (!model.applyProjectDocument(std::move(document), fuzzsupport::workFolder(), true))
        return 0;
    fuzzsupport::checkLoadedModel(model);
    fuzzsupport::checkReloadIsStable(model, true);
    return 0;
}
