#include "app/AppInfo.h"
#include "app/BoxPrompter.h"
#include "app/ChineseTranslations.h"
#include "app/MainWindow.h"
#include "browser/SystemDriveSource.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    describeApplication();
    const ChineseTranslations chinese;

    SystemDriveSource drives;
    BoxPrompter prompter;
    const StartContext context{
        programFolder(), NativePath::currentFolder(), drives, prompter, [] { QApplication::exit(0); }, {},
    };
    MainWindow window(context);
    window.show();
    return QApplication::exec();
}
