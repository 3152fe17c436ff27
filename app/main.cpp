#include "app/AppInfo.h"
#include "app/BoxPrompter.h"
#include "app/MainWindow.h"
#include "browser/SystemDriveSource.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QApplication::setApplicationVersion(applicationVersion());

    SystemDriveSource drives;
    BoxPrompter prompter;
    const StartContext context{
        QDir::toNativeSeparators(QApplication::applicationDirPath()),
        QDir::toNativeSeparators(QDir::currentPath()),
        drives,
        prompter,
        [] { QApplication::exit(0); },
    };
    MainWindow window(context);
    prompter.setParent(&window);
    window.show();
    return QApplication::exec();
}
