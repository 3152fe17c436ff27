#include "merge/copy/InputFile.h"

#include "merge/copy/Cancel.h"

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

MergeResult readWholeInput(const NativePath& path, std::optional<FileIdentity> output, char* block,
                           qsizetype blockSize, const std::atomic<bool>* cancel, const TakeBlock& take)
{
    InputFile file(path, output);
    if (MergeResult opened = file.open(); !opened.ok())
        return opened;
    for (;;) {
        if (MergeResult cancelled = checkCancel(cancel); !cancelled.ok())
            return cancelled;
        qsizetype count = 0;
        if (MergeResult read = file.read(block, blockSize, count); !read.ok())
            return read;
        if (count == 0)
            return MergeResult::success();
        if (MergeResult taken = take(block, count); !taken.ok())
            return taken;
    }
}
