// One stored entry of the recent files, as read from the settings.
#include "fuzz/fuzzsupport.h"
#include "window/recentprojects.h"

#include <QDir>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RecentProject project;
    if (!parseRecentEntry(QString::fromUtf8(fuzzsupport::bytes(data, size)), &project))
        return 0;
    if (project.projectName.isEmpty() || project.projectName != project.projectName.trimmed())
        fuzzsupport::fail("a usable entry has a trimmed name");
    if (!QFileInfo(project.databasePath).isAbsolute() ||
        QDir::cleanPath(project.databasePath) != project.databasePath)
        fuzzsupport::fail("a usable entry has a clean absolute path");
    if (!QFileInfo::exists(project.databasePath))
        fuzzsupport::fail("a usable entry names an existing file");
    return 0;
}
