#pragma once

#include <QtGlobal>

class QWidget;
struct ITaskbarList3;

// How far the merge is, on the main window's button in the taskbar where the desktop
// shows one there (Windows); elsewhere nothing. The button returns to plain when this
// goes. Where the taskbar does not answer, the merge goes on without it.
class TaskbarProgress final
{
public:
    explicit TaskbarProgress(QWidget& window);
    ~TaskbarProgress();
    Q_DISABLE_COPY_MOVE(TaskbarProgress)

    void show(int done, int total);

private:
    QWidget& m_window;
    ITaskbarList3* m_taskbar = nullptr;
};
