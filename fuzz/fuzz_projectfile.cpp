// A project file of any content, opened as the user opens one.
#include "core/model/projectfile.h"
#include "fuzz/projectchecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzsupport::writeInput(data, size, QStringLiteral("input.pmproj"));
    ProjectModel model;
    QString error;
    if (!openProjectFile(path, model, &error)) {
        if (error.isEmpty())
            fuzzsupport::fail("a refused project file says why");
        return 0;
    }
    fuzzsupport::checkLoadedModel(model);
    fuzzsupport::checkReloadIsStable(model, false);
    return 0;
}
