#include "base/SystemThread.h"

#include <thread>

struct SystemThread::Handle
{
    std::thread thread;
};

SystemThread::SystemThread(std::function<void()> work)
    : m_handle(std::make_unique<Handle>(Handle{std::thread(std::move(work))}))
{}

SystemThread::~SystemThread()
{
    m_handle->thread.join();
}

void SystemThread::detached(std::function<void()> work)
{
    std::thread(std::move(work)).detach();
}
