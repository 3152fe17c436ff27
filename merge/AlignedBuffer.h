#pragma once

#include <QtGlobal>

// A byte buffer that starts on a page boundary. The kernel copies between the page
// cache and page-aligned user memory markedly faster than to or from an address in
// the middle of a page, which is where a plain allocation of this size starts.
class AlignedBuffer final
{
public:
    explicit AlignedBuffer(qsizetype size);
    ~AlignedBuffer();
    Q_DISABLE_COPY_MOVE(AlignedBuffer)

    [[nodiscard]] char* data() const;

private:
    char* m_data;
};
