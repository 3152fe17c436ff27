// Times the file pane filling from a folder of chapter files, offscreen: named with
// ASCII digits (第1章.txt … 第30000章.txt) and with Chinese numerals (第一章.txt …
// 第三万章.txt), then a folder of 100,000 chapters. Each figure is the median of eleven
// fills; the order shown is checked against the chapters' numbers.
//
// Usage: tamborel-pane-bench [FILE_COUNT [LARGE_FILE_COUNT]]
#include "base/FileSystemAsker.h"
#include "browser/DriveFolders.h"
#include "browser/FilePane.h"
#include "browser/FolderListing.h"
#include "browser/SystemDriveSource.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int rounds = 11;

const QString digits = QStringLiteral("零一二三四五六七八九");

// Below 10,000, as written after a higher part (leading 零 when places are skipped).
QString belowWan(int n, bool first)
{
    static const QString units[] = {QStringLiteral("千"), QStringLiteral("百"), QStringLiteral("十"),
                                    QString()};
    QString text;
    bool zero = false;
    int place = 1000;
    for (const QString& unit : units) {
        const int digit = n / place % 10;
        if (digit == 0) {
            zero = !text.isEmpty() || !first;
        } else {
            if (zero && n % (place * 10) != 0)
                text += digits[0];
            zero = false;
            if (!(first && text.isEmpty() && digit == 1 && place == 10))
                text += digits[digit];
            text += unit;
        }
        place /= 10;
    }
    return text;
}

// 1 to 99,999,999 as people write it: 十一, 一百零五, 三万, 一万零一十.
QString chinese(int n)
{
    if (n < 10'000)
        return belowWan(n, true);
    QString text = belowWan(n / 10'000, true) + QStringLiteral("万");
    const int rest = n % 10'000;
    if (rest == 0)
        return text;
    return text + belowWan(rest, false);
}

QString createChapters(const QTemporaryDir& temp, const QString& folderName, int count,
                       const std::function<QString(int)>& number)
{
    const QString folder = temp.filePath(folderName);
    QDir().mkpath(folder);
    for (int i = 1; i <= count; ++i) {
        QFile file(folder + QStringLiteral("/第%1章.txt").arg(number(i)));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(file.fileName()));
    }
    return folder;
}

double secondsFor(const std::function<void()>& operation)
{
    QElapsedTimer timer;
    timer.start();
    operation();
    // Count the view's own work too: layout and painting of the new list.
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e9;
}

double median(std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

struct Folder
{
    const char* what;
    int count;
    std::function<QString(int)> number;
    NativePath path;
    std::vector<double> listing;
    std::vector<double> pane;
    bool inOrder = true;
};

// One round lists every folder once, alone and in the pane, so that a slower moment of
// the machine falls on all of them alike.
void measureRound(FilePane& pane, const NativePath& empty, std::vector<Folder>& folders)
{
    for (Folder& f : folders) {
        // Emptying the pane of the folder before is no part of showing this one.
        pane.setPath(empty);
        QApplication::processEvents();
        f.listing.push_back(secondsFor([&] { (void)textFiles(f.path); }));
        f.pane.push_back(secondsFor([&] { pane.setPath(f.path); }));
        f.inOrder = f.inOrder && pane.fileCount() == f.count;
        for (int i = 0; i < pane.fileCount() && f.inOrder; ++i)
            f.inOrder = pane.fileName(i).display() == QStringLiteral("第%1章.txt").arg(f.number(i + 1));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 30'000;
    const int large = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100'000;
    const std::function<QString(int)> ascii = [](int n) { return QString::number(n); };
    const std::function<QString(int)> numerals = chinese;

    QTemporaryDir temp;
    std::vector<Folder> folders = {{"ascii", count, ascii, {}, {}, {}},
                                   {"chinese", count, numerals, {}, {}, {}},
                                   {"chinese-large", large, numerals, {}, {}, {}}};
    for (Folder& f : folders) {
        const QString folder = createChapters(temp, QString::fromLatin1(f.what), f.count, f.number);
        f.path = NativePath::fromText(QDir::toNativeSeparators(folder));
    }
    QDir().mkpath(temp.filePath(QStringLiteral("empty")));
    const NativePath empty =
        NativePath::fromText(QDir::toNativeSeparators(temp.filePath(QStringLiteral("empty"))));
    FileSystemAsker asker;
    const SystemDriveSource system(asker);
    const DriveFolders drives(system, NativePath());
    FilePane pane(drives, asker, nullptr);
    pane.resize(132, 162);
    pane.show();
    for (int round = 0; round < rounds; ++round)
        measureRound(pane, empty, folders);

    QTextStream out(stdout);
    bool inOrder = true;
    for (const Folder& f : folders) {
        out << f.what << ", " << f.count << " files: listing " << median(f.listing) << " s, pane "
            << median(f.pane) << " s" << (f.inOrder ? "" : "  (OUT OF ORDER)") << Qt::endl;
        inOrder = inOrder && f.inOrder;
    }
    out << "chinese / ascii, pane: " << median(folders[1].pane) / median(folders[0].pane) << Qt::endl;
    return inOrder ? 0 : 1;
}
