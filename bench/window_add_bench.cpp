// Times the merge list's add operations in the real window, offscreen, on a folder
// of 32767 empty text files: listing the folder, adding all into an empty list,
// adding all again (every file a duplicate), and adding every file with all of them
// selected into a list that already holds the other half.
//
// Usage: tamborel-add-bench [FILE_COUNT]
#include "app/MainWindow.h"
#include "base/FileSystemAsker.h"
#include "base/MessagePrompter.h"
#include "browser/DriveSource.h"
#include "browser/FilePane.h"
#include "browser/FolderPane.h"
#include "mergelist/MergeListModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace {

class QuietPrompter final : public MessagePrompter
{
public:
    BoxAnswer show(const QString& prompt, BoxStyle /*style*/) override
    {
        std::fprintf(stderr, "box: %s\n", qPrintable(prompt));
        return BoxAnswer::No;
    }
};

class RootDrive final : public DriveSource
{
public:
    [[nodiscard]] QList<Drive> drives() const override
    {
        const QString root = QDir::toNativeSeparators(QDir::rootPath());
        return {{NativePath::fromText(root), root, 0}};
    }
    [[nodiscard]] bool isStillMounted(const Drive& /*drive*/) const override { return true; }
};

double secondsFor(const std::function<void()>& operation)
{
    QElapsedTimer timer;
    timer.start();
    operation();
    // Count the view's own work too: layout and painting of the changed list.
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void createFiles(const QString& folder, int count)
{
    for (int i = 0; i < count; ++i) {
        QFile file(folder + QStringLiteral("/file%1.txt").arg(i));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(file.fileName()));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : MergeListModel::maxEntries;

    QTemporaryDir temp;
    const QString empty = QDir::toNativeSeparators(temp.filePath(QStringLiteral("empty")));
    const QString texts = QDir::toNativeSeparators(temp.filePath(QStringLiteral("texts")));
    QDir().mkpath(empty);
    QDir().mkpath(texts);
    createFiles(texts, count);
    const NativePath emptyFolder = NativePath::fromText(empty);

    RootDrive drives;
    QuietPrompter prompter;
    FileSystemAsker asker;
    const StartContext context{emptyFolder, emptyFolder, drives, prompter, asker, [] {}, {}};
    MainWindow window(context);
    window.show();
    QApplication::processEvents();

    auto* folders = window.findChild<FolderPane*>(QStringLiteral("dirOperate"));
    auto* files = window.findChild<FilePane*>(QStringLiteral("filOperate"));
    auto* model = window.findChild<MergeListModel*>();
    const auto button = [&](const char* name) {
        return [&window, name] { window.findChild<QPushButton*>(QString::fromLatin1(name))->click(); };
    };

    QTextStream out(stdout);
    out << "files: " << count << "\n";
    out << "list the folder in the file pane: "
        << secondsFor([&] { folders->setPath(NativePath::fromText(texts)); }) << " s\n";
    out << "add all into the empty list:      " << secondsFor(button("cmdAddAll")) << " s\n";
    out << "add all again (all duplicates):   " << secondsFor(button("cmdAddAll")) << " s\n";

    button("cmdDelAll")();
    for (int i = 0; i < files->fileCount(); i += 2)
        files->item(i)->setSelected(true);
    button("cmdAdd")();
    files->selectAll();
    const int before = model->count();
    out << "add all selected into half a list: " << secondsFor(button("cmdAdd")) << " s"
        << " (" << before << " -> " << model->count() << " entries)\n";
    return model->count() == count ? 0 : 1;
}
