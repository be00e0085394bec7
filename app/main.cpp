#include "ui/mainwindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Plotmason"));
    QCoreApplication::setOrganizationName(QStringLiteral("Plotmason"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1.7"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/assets/icons/plotmason-app-icon.png")));

    MainWindow window;
    window.showMaximized();
    return app.exec();
}
