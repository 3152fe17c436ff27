#pragma once

#include <QByteArray>

#include <dirent.h>
#include <memory>

struct DirCloser
{
    void operator()(DIR* dir) const;
};

// A folder open for reading its entries, closed when the handle goes.
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Empty, with errno set, when the folder cannot be opened.
[[nodiscard]] DirHandle openDir(const QByteArray& path);
