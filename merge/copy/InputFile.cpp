#include "merge/copy/InputFile.h"

#include <utility>

InputFile::InputFile(NativePath path, std::optional<FileIdentity> output)
    : m_path(std::move(path)), m_output(output)
{}

InputFile::~InputFile()
{
    close();
}

MergeResult InputFile::failure(MergeStatus status, int error) const
{
    return MergeResult::failure(status, m_path, error);
}
