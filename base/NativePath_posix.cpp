// Paths on POSIX systems: bytes, "/" the only separator, names compared exactly.
#include "base/NameBytes.h"
#include "base/NativePath.h"

#include <QUrl>

#include <cerrno>
#include <unistd.h>

namespace {

constexpr char slash = '/';

} // namespace

NativePath NativePath::fromText(const QString& text)
{
    return NativePath(text.toUtf8());
}

NativePath NativePath::fromLocalFile(const QUrl& url)
{
    // toLocalFile() would decode the bytes as UTF-8, losing any that are not.
    return NativePath(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

NativePath NativePath::currentFolder()
{
    QByteArray buffer(4096, Qt::Uninitialized);
    while (::getcwd(buffer.data(), static_cast<size_t>(buffer.size())) == nullptr) {
        if (errno != ERANGE)
            return NativePath(QByteArray(1, slash));
        buffer.resize(buffer.size() * 2);
    }
    buffer.truncate(static_cast<qsizetype>(qstrlen(buffer.constData())));
    return NativePath(buffer);
}

NativePath NativePath::separator()
{
    return NativePath(QByteArray(1, slash));
}

QString NativePath::display() const
{
    QString text;
    text.reserve(m_native.size());
    const QByteArrayView path(m_native);
    qsizetype start = 0;
    while (true) {
        const qsizetype end = path.indexOf(slash, start);
        text += displayName(path.sliced(start, (end < 0 ? path.size() : end) - start));
        if (end < 0)
            return text;
        text += QLatin1Char(slash);
        start = end + 1;
    }
}

NativePath NativePath::absolute() const
{
    if (m_native.isEmpty())
        return {};
    const QByteArray full =
        m_native.startsWith(slash) ? m_native : currentFolder().m_native + slash + m_native;
    // Cleaned by the text alone, like QDir::cleanPath: ".." drops the part before it.
    QList<QByteArray> kept;
    for (const QByteArray& part : full.split(slash)) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept.append(part);
    }
    QByteArray cleaned;
    for (const QByteArray& part : kept)
        cleaned += slash + part;
    return NativePath(cleaned.isEmpty() ? QByteArray(1, slash) : cleaned);
}

NativePath NativePath::parent() const
{
    const qsizetype last = m_native.lastIndexOf(slash);
    if (last < 0)
        return NativePath(QByteArrayLiteral("."));
    if (last == 0)
        return separator();
    return NativePath(m_native.left(last));
}

NativePath NativePath::fileName() const
{
    return NativePath(m_native.mid(m_native.lastIndexOf(slash) + 1));
}

bool NativePath::liesUnder(const NativePath& root) const
{
    if (root.isEmpty() || !m_native.startsWith(root.m_native))
        return false;
    // "/media/usb2" must not count as lying on the volume "/media/usb".
    return m_native.size() == root.m_native.size() || root.m_native.endsWith(slash) ||
           m_native.at(root.m_native.size()) == slash;
}

bool NativePath::sameAs(const NativePath& other) const
{
    // "a.txt" and "A.txt" are two files here.
    return m_native == other.m_native;
}

NativePath::Native NativePath::key() const
{
    return m_native;
}
