#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Plotmason"));
    QCoreApplication::setOrganizationName(QStringLiteral("Plotmason"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1.7"));

    // Until the digitizing window lands, start-up shows an empty frame.
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Plotmason"));
    window.setCentralWidget(
        new QLabel(QStringLiteral("Plotmason %1").arg(QCoreApplication::applicationVersion())));
    window.showMaximized();
    return app.exec();
}
