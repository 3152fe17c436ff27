#include "merge/InputFile.h"

#include <utility>

InputFile::InputFile(NativePath path) : m_path(std::move(path)) {}

InputFile::~InputFile()
{
    close();
}

MergeResult InputFile::failure(MergeStatus status, int error) const
{
    return MergeResult::failure(status, m_path, error);
}
