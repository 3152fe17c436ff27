#include "base/FileSystemAsker.h"

#include "base/SystemThread.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <deque>
#include <mutex>

class FileSystemAsker::Question
{
public:
    NativePath::Native volume;
    const void* from = nullptr;
    std::function<void()> work;
    // The rest is guarded by Shared::mutex.
    bool started = false;
    bool done = false;
    bool replaced = false;
    bool awaited = false; // someone wants `then` once done
    // Touched on the context's thread only.
    QPointer<QObject> context;
    std::function<void()> then;
};

struct FileSystemAsker::Shared
{
    std::mutex mutex;
    std::condition_variable answered;
    // The questions waiting behind the one open, by volume; a volume is here while
    // it is busy.
    QHash<NativePath::Native, std::deque<Ticket>> busy;
    // Where late answers are sent; null once the asker is gone.
    QObject* receiver = nullptr;

    void tell(const Ticket& question);
    [[nodiscard]] Ticket finish(const Ticket& question);
    void serve(Ticket question);
};

namespace {

void deliver(const FileSystemAsker::Ticket& question)
{
    if (question->context && question->then)
        question->then();
}

} // namespace

// Called with the mutex held: posting to the receiver is safe while it exists, and
// the asker cannot delete it meanwhile.
void FileSystemAsker::Shared::tell(const Ticket& question)
{
    if (receiver != nullptr)
        QMetaObject::invokeMethod(
            receiver, [question] { deliver(question); }, Qt::QueuedConnection);
}

FileSystemAsker::Ticket FileSystemAsker::Shared::finish(const Ticket& question)
{
    const std::lock_guard lock(mutex);
    question->done = true;
    if (question->awaited)
        tell(question);
    answered.notify_all();
    std::deque<Ticket>& waiting = busy[question->volume];
    // Once the asker is gone nobody wants the answers of the questions still waiting.
    if (waiting.empty() || receiver == nullptr) {
        busy.remove(question->volume);
        return {};
    }
    Ticket next = waiting.front();
    waiting.pop_front();
    next->started = true;
    return next;
}

void FileSystemAsker::Shared::serve(Ticket question)
{
    while (question) {
        question->work();
        // What the work held goes here, on this thread: a file it made is removed only
        // when the call that made it has returned.
        question->work = nullptr;
        question = finish(question);
    }
}

FileSystemAsker::FileSystemAsker(std::chrono::milliseconds within)
    : m_shared(std::make_shared<Shared>()), m_within(within)
{
    m_shared->receiver = new QObject;
}

FileSystemAsker::~FileSystemAsker()
{
    QObject* receiver = nullptr;
    {
        const std::lock_guard lock(m_shared->mutex);
        receiver = std::exchange(m_shared->receiver, nullptr);
    }
    // Answers posted to it and not yet delivered go with it.
    delete receiver;
}

FileSystemAsker::Ticket FileSystemAsker::start(const NativePath& volume, std::function<void()> work,
                                               const void* from)
{
    auto question = std::make_shared<Question>();
    question->volume = volume.key();
    question->from = from;
    question->work = std::move(work);
    {
        const std::lock_guard lock(m_shared->mutex);
        if (const auto line = m_shared->busy.find(question->volume); line != m_shared->busy.end()) {
            for (const Ticket& waiting : *line)
                waiting->replaced = waiting->replaced || waiting->from == from;
            std::erase_if(*line, [](const Ticket& waiting) { return waiting->replaced; });
            line->push_back(question);
            return question;
        }
        m_shared->busy.insert(question->volume, {});
        question->started = true;
    }
    // Detached: a thread held by a silent volume must not hold up the program's end.
    SystemThread::detached([shared = m_shared, question] { shared->serve(question); });
    return question;
}

bool FileSystemAsker::waitUntil(const Ticket& ticket, std::chrono::steady_clock::time_point deadline) const
{
    std::unique_lock lock(m_shared->mutex);
    return m_shared->answered.wait_until(lock, deadline, [&ticket] { return ticket->done; });
}

void FileSystemAsker::whenDone(const Ticket& ticket, QObject* context, std::function<void()> then)
{
    ticket->context = context;
    ticket->then = std::move(then);
    const std::lock_guard lock(m_shared->mutex);
    if (ticket->replaced)
        return;
    ticket->awaited = true;
    if (ticket->done)
        m_shared->tell(ticket);
}

void FileSystemAsker::withdraw(const Ticket& ticket)
{
    const std::lock_guard lock(m_shared->mutex);
    ticket->awaited = false;
    if (ticket->started || ticket->replaced)
        return;
    ticket->replaced = true;
    if (const auto line = m_shared->busy.find(ticket->volume); line != m_shared->busy.end())
        std::erase(*line, ticket);
}
