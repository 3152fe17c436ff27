#include "merge/output/MergeOutput.h"

#include <QRandomGenerator>

#include <utility>

MergeOutput::MergeOutput(NativePath path, Temporary temporary, const OutputCalls* calls)
    : m_path(std::move(path)), m_temporary(temporary), m_calls(calls)
{}

MergeOutput::~MergeOutput()
{
    discard();
}

const NativePath& MergeOutput::path() const
{
    return m_path;
}

qint64 MergeOutput::size() const
{
    return m_size;
}

bool MergeOutput::isOpen() const
{
    return m_handle != -1;
}

MergeResult MergeOutput::abandon(MergeStatus status, int error)
{
    discard();
    return MergeResult::failure(status, m_path, error);
}

QString MergeOutput::temporaryName()
{
    const quint64 random = QRandomGenerator::global()->generate64();
    return QStringLiteral(".tamborel-%1.tmp").arg(random, 16, 16, QLatin1Char('0'));
}
