#include "base/SystemThread.h"

#include <cerrno>
#include <cstdint>
#include <process.h>
#include <system_error>
#include <windows.h>

namespace {

unsigned __stdcall runWork(void* work)
{
    const std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(work));
    (*owned)();
    return 0;
}

// Started through the C runtime, whose functions the work calls. The thread owns
// the work from here on; one that cannot start throws, as std::thread does.
HANDLE startThread(std::function<void()> work)
{
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    const std::uintptr_t thread = _beginthreadex(nullptr, 0, runWork, owned.get(), 0, nullptr);
    if (thread == 0)
        throw std::system_error(errno, std::generic_category(), "_beginthreadex");
    (void)owned.release();
    return reinterpret_cast<HANDLE>(thread);
}

} // namespace

struct SystemThread::Handle
{
    HANDLE thread;
};

SystemThread::SystemThread(std::function<void()> work)
    : m_handle(std::make_unique<Handle>(Handle{startThread(std::move(work))}))
{}

SystemThread::~SystemThread()
{
    WaitForSingleObject(m_handle->thread, INFINITE);
    CloseHandle(m_handle->thread);
}

void SystemThread::detached(std::function<void()> work)
{
    CloseHandle(startThread(std::move(work)));
}
