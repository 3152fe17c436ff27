#include "base/NativePath.h"

#include <utility>

NativePath::NativePath(Native native) : m_native(std::move(native)) {}

NativePath NativePath::fromNative(Native native)
{
    return NativePath(std::move(native));
}

const NativePath::Native& NativePath::native() const
{
    return m_native;
}

bool NativePath::isEmpty() const
{
    return m_native.isEmpty();
}

NativePath NativePath::child(const NativePath& name) const
{
    if (endsWithSeparator())
        return NativePath(m_native + name.m_native);
    return NativePath(m_native + separator().m_native + name.m_native);
}

QString NativePath::displayAsFolder() const
{
    const QString text = display();
    const QString separatorText = separator().display();
    return text.endsWith(separatorText) ? text : text + separatorText;
}

bool NativePath::endsWithSeparator() const
{
    return m_native.endsWith(separator().m_native);
}

NativePath NativePath::withoutTrailingSeparator() const
{
    if (!endsWithSeparator() || parent() == *this)
        return *this;
    return NativePath(m_native.chopped(1));
}

bool operator==(const NativePath& a, const NativePath& b)
{
    return a.m_native == b.m_native;
}
