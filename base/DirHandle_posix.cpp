#include "base/DirHandle_posix.h"

void DirCloser::operator()(DIR* dir) const
{
    ::closedir(dir);
}

DirHandle openDir(const QByteArray& path)
{
    return DirHandle(::opendir(path.constData()));
}
