#include "support/WindowFixture.h"

#include "merge/copy/CopyProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

WindowFixture::WindowFixture()
{
    drives.add(folder(QStringLiteral("C")));
    drives.add(folder(QStringLiteral("D")));
    drives.add(driveRoot(QStringLiteral("X")));
}

QString WindowFixture::folder(const QString& relative) const
{
    const QString path = temp.path() + QLatin1Char('/') + relative;
    QDir().mkpath(path);
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

QString WindowFixture::touch(const QString& relative) const
{
    const QString path = temp.path() + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
    return QDir::toNativeSeparators(path);
}

QString WindowFixture::driveRoot(const QString& letter) const
{
    return QDir::toNativeSeparators(temp.path() + QLatin1Char('/') + letter);
}

MainWindow& WindowFixture::start(const QString& programFolder, const QString& workingFolder)
{
    const StartContext context{
        NativePath::fromText(programFolder), NativePath::fromText(workingFolder), drives, prompter, asker,
        [this] { ++endRequests; },
        // Read when each merge starts, so that a test may set it late.
        [this] { return makeProgress ? makeProgress() : std::make_unique<CopyProgress>(); }};
    m_window = std::make_unique<MainWindow>(context);
    return *m_window;
}
