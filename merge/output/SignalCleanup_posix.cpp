#include "merge/output/SignalCleanup.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace signalcleanup {

namespace {

constexpr int freeFolder = -1;
// A guard being filled in: the handler must not read its name yet.
constexpr int busyFolder = -2;

struct Guard
{
    std::atomic<int> folder{freeFolder};
    char name[NAME_MAX + 1] = {};
};

// More than one output is open at a time only in tests; a handful is plenty.
Guard guards[8];

constexpr int terminationSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the guards");

// Only async-signal-safe calls: unlinkat(), sigaction(), raise().
void onTerminationSignal(int signal)
{
    for (Guard& guard : guards) {
        const int folder = guard.folder.load(std::memory_order_acquire);
        if (folder >= 0)
            ::unlinkat(folder, guard.name, 0);
    }
    struct sigaction defaultAction = {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    ::sigaction(signal, &defaultAction, nullptr);
    // The signal stays blocked until the handler returns, then ends the program.
    ::raise(signal);
}

// Run at every arm(), so that a signal someone has reset to its default action since
// is guarded again.
void installHandlers()
{
    for (const int signal : terminationSignals) {
        struct sigaction previous = {};
        if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler != SIG_DFL)
            continue;
        struct sigaction action = {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        for (const int other : terminationSignals)
            sigaddset(&action.sa_mask, other);
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace

int arm(int folder, const QByteArray& name)
{
    if (folder < 0 || name.size() > NAME_MAX)
        return -1;
    installHandlers();
    for (int i = 0; i < int(std::size(guards)); ++i) {
        int expected = freeFolder;
        if (!guards[i].folder.compare_exchange_strong(expected, busyFolder, std::memory_order_acquire))
            continue;
        std::memcpy(guards[i].name, name.constData(), size_t(name.size()));
        guards[i].name[name.size()] = '\0';
        guards[i].folder.store(folder, std::memory_order_release);
        return i;
    }
    return -1;
}

void disarm(int guard)
{
    if (guard >= 0 && guard < int(std::size(guards)))
        guards[guard].folder.store(freeFolder, std::memory_order_release);
}

void failWritesPastSizeLimit()
{
    ::signal(SIGXFSZ, SIG_IGN);
}

int armedCount()
{
    return int(std::count_if(std::begin(guards), std::end(guards), [](const Guard& guard) {
        return guard.folder.load(std::memory_order_acquire) >= 0;
    }));
}

} // namespace signalcleanup
