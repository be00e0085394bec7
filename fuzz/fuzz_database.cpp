// A database file of any content: listed, then every listed project loaded,
// as the open dialog and the recent files do.
#include "core/io/projectdatabase.h"
#include "fuzz/projectchecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzsupport::writeInput(data, size, QStringLiteral("input.pmdb"));
    QString error;
    QStringList names = ProjectDatabase::listProjects(path, &error);
    // A name that is not listed must fail cleanly too.
    names.append(QStringLiteral("Progetto"));
    constexpr int maximumLoads = 8; // a fuzzed table may list thousands of rows
    for (const QString &name : names.mid(0, maximumLoads)) {
        ProjectModel model;
        error.clear();
        if (!ProjectDatabase::loadProject(path, name, model, &error)) {
            if (error.isEmpty())
                fuzzsupport::fail("a failed load says why");
            continue;
        }
        fuzzsupport::checkLoadedModel(model);
    }
    return 0;
}
