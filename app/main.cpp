#include "cli/batchmode.h"
#include "prompts/dialogplaces.h"
#include "window/mainwindow.h"
#include "window/updateflow.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

int main(int argc, char **argv)
{
    // The command-line mode needs no display, so it chooses its platform
    // before the application object exists.
    const bool batchMode = batch::isBatchInvocation(argc, argv);
    if (batchMode) {
        batch::silenceToolkitMessages();
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Plotmason"));
    QCoreApplication::setOrganizationName(QStringLiteral("Plotmason"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1.7"));
    if (batchMode)
        return batch::run(app.arguments());
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/assets/icons/plotmason-app-icon.png")));

    MainWindow window;
    if (restoreWindowLayout(&window))
        window.show();
    else
        window.showMaximized();
    const QString file = batch::windowFileArgument(app.arguments());
    // Opened once the window has its size, so that the picture is fitted to it.
    if (!file.isEmpty())
        QTimer::singleShot(0, &window, [&window, file] { window.openFile(file); });
    // Answers arrive later from the event loop; start-up does not wait for them.
    window.updateFlow()->checkQuietly();
    // The start-up benchmark measures the time until the window is up.
    if (qEnvironmentVariableIsSet("PLOTMASON_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
