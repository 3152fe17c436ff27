#include "app/AppInfo.h"

#include "app/BuildInfo.h"

#include <QGuiApplication>
#include <QDir>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

QString applicationTitle()
{
    return QStringLiteral("Tamborel");
}

QString applicationVersion()
{
    return QStringLiteral(TAMBOREL_VERSION);
}

QString publisher()
{
    return QString::fromUtf8(TAMBOREL_PUBLISHER);
}

QString publisherEmail()
{
    return QStringLiteral(TAMBOREL_EMAIL);
}

QString homepage()
{
    return QStringLiteral(TAMBOREL_HOMEPAGE);
}

QString xmppAddress()
{
    return QStringLiteral(TAMBOREL_XMPP);
}

QString matrixRoom()
{
    return QStringLiteral(TAMBOREL_MATRIX);
}

void describeApplication()
{
    QGuiApplication::setApplicationName(applicationTitle());
    QGuiApplication::setApplicationVersion(applicationVersion());
    QGuiApplication::setDesktopFileName(QStringLiteral(TAMBOREL_APP_ID));
}

NativePath programFolder()
{
#ifdef Q_OS_LINUX
    // The kernel names the executable with its path's bytes; Qt would decode them.
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length = ::readlink("/proc/self/exe", target.data(), static_cast<size_t>(target.size()));
    if (length > 0 && length < target.size())
        return NativePath::fromNative(target.left(length)).parent();
#endif
    return NativePath::fromText(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}
