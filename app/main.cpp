#include "app/mainwindow.h"
#include "common/processmemory.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    shareOneMallocArena();
    QApplication app(argc, argv);
    // Our image plug-ins: beside the executable in a build, under lib/pictomat when installed.
    QCoreApplication::addLibraryPath(QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(
        QStringLiteral(PICTOMAT_PLUGIN_RELDIR)));
    QApplication::setStyle(QStringLiteral("Fusion"));
    MainWindow window;
    window.show();
    return app.exec();
}
