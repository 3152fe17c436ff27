#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

// A thread of the program's own, started with its work. On Windows it is the
// system's thread, not the POSIX layer of MinGW's runtime: that layer keeps its own
// records of threads and reuses them while threads come and go quickly, so that a
// join may fail as a join of the joining thread itself, and a thread let go may
// take another's record with it and hang or crash the program.
class SystemThread final
{
public:
    explicit SystemThread(std::function<void()> work);
    // Waits for the work to end.
    ~SystemThread();
    Q_DISABLE_COPY_MOVE(SystemThread)

    // Runs the work on a thread that nobody waits for, and that never keeps the
    // program from ending.
    static void detached(std::function<void()> work);

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};
