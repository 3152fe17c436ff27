#include "merge/AlignedBuffer.h"

#include <new>

namespace {

constexpr std::align_val_t pageAlignment{4096};

} // namespace

AlignedBuffer::AlignedBuffer(qsizetype size)
    : m_data(static_cast<char*>(::operator new(static_cast<size_t>(size), pageAlignment)))
{}

AlignedBuffer::~AlignedBuffer()
{
    ::operator delete(m_data, pageAlignment);
}

char* AlignedBuffer::data() const
{
    return m_data;
}
