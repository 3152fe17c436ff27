#include "base/TextFileName.h"

namespace {

// The four units of a name's end. OR-ing 0x20 folds only 'T' onto 't' and 'X' onto
// 'x': no other unit maps there.
template <typename Unit>
bool isTxt(const Unit* end)
{
    return end[0] == Unit('.') && (end[1] | 0x20) == 't' && (end[2] | 0x20) == 'x' && (end[3] | 0x20) == 't';
}

} // namespace

bool isTextExtension(QStringView extension)
{
    return extension.size() == 4 && isTxt(extension.utf16());
}

bool hasTextExtension(QStringView name)
{
    return name.size() >= 4 && isTxt(name.utf16() + name.size() - 4);
}

bool hasTextExtension(QByteArrayView name)
{
    return name.size() >= 4 && isTxt(name.data() + name.size() - 4);
}
