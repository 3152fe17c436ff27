#include "merge/TaskbarProgress.h"

// No desktop here has a progress on its taskbar buttons that every one shows alike.
TaskbarProgress::TaskbarProgress(QWidget& window) : m_window(window) {}

TaskbarProgress::~TaskbarProgress() = default;

void TaskbarProgress::show(int, int) {}
