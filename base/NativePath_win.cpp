// Paths on Windows: UTF-16 text, "\" the separator ("/" accepted on input), names
// compared without regard to letter case.
#include "base/NativePath.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

NativePath NativePath::fromText(const QString& text)
{
    return NativePath(text);
}

NativePath NativePath::fromLocalFile(const QUrl& url)
{
    return NativePath(QDir::toNativeSeparators(url.toLocalFile()));
}

NativePath NativePath::currentFolder()
{
    return NativePath(QDir::toNativeSeparators(QDir::currentPath()));
}

NativePath NativePath::separator()
{
    return NativePath(QString(QDir::separator()));
}

QString NativePath::display() const
{
    return m_native;
}

NativePath NativePath::absolute() const
{
    if (m_native.isEmpty())
        return {};
    return NativePath(QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(m_native).absoluteFilePath())));
}

NativePath NativePath::parent() const
{
    return NativePath(QDir::toNativeSeparators(QFileInfo(QDir::fromNativeSeparators(m_native)).path()));
}

NativePath NativePath::fileName() const
{
    return NativePath(QFileInfo(QDir::fromNativeSeparators(m_native)).fileName());
}

bool NativePath::liesUnder(const NativePath& root) const
{
    if (root.isEmpty() || !m_native.startsWith(root.m_native, Qt::CaseInsensitive))
        return false;
    return m_native.size() == root.m_native.size() || root.m_native.endsWith(QDir::separator()) ||
           m_native.at(root.m_native.size()) == QDir::separator();
}

bool NativePath::sameAs(const NativePath& other) const
{
    return m_native.compare(other.m_native, Qt::CaseInsensitive) == 0;
}

NativePath::Native NativePath::key() const
{
    return m_native.toCaseFolded();
}
