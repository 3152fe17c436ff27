#include "merge/TaskbarProgress.h"

#include <QWidget>

#include <shobjidl.h>
#include <windows.h>

namespace {

HWND handleOf(QWidget& window)
{
    return reinterpret_cast<HWND>(window.winId());
}

} // namespace

// Qt has initialised COM on the window's thread.
TaskbarProgress::TaskbarProgress(QWidget& window) : m_window(window)
{
    ITaskbarList3* taskbar = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&taskbar))))
        return;
    if (FAILED(taskbar->HrInit())) {
        taskbar->Release();
        return;
    }
    m_taskbar = taskbar;
}

TaskbarProgress::~TaskbarProgress()
{
    if (m_taskbar == nullptr)
        return;
    m_taskbar->SetProgressState(handleOf(m_window), TBPF_NOPROGRESS);
    m_taskbar->Release();
}

void TaskbarProgress::show(int done, int total)
{
    if (m_taskbar != nullptr)
        m_taskbar->SetProgressValue(handleOf(m_window), ULONGLONG(done), ULONGLONG(total));
}
