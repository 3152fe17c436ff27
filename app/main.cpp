#include "app/AppInfo.h"
#include "app/BoxPrompter.h"
#include "app/ChineseTranslations.h"
#include "app/MainWindow.h"
#include "base/FileSystemAsker.h"
#include "browser/SystemDriveSource.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    describeApplication();
    const ChineseTranslations chinese;

    FileSystemAsker asker;
    SystemDriveSource drives(asker);
    BoxPrompter prompter;
    const StartContext context{
        .programFolder = programFolder(),
        .workingFolder = NativePath::currentFolder(),
        .driveSource = drives,
        .prompter = prompter,
        .asker = asker,
        .endProgram = [] { QApplication::exit(0); },
        .makeProgress = {},
    };
    MainWindow window(context);
    window.show();
    return QApplication::exec();
}
