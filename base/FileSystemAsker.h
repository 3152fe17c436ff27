#pragma once

#include "base/NativePath.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QObject;

// Asks file systems off the window's thread. A network share whose server went away,
// or a file system in user space whose driver hangs, can hold any call that reaches it
// for as long as it stays silent; the window waits for an answer a moment only, and a
// late answer reaches it later, on its own thread.
//
// Each volume is asked one question at a time: a question to a volume that is still
// busy with an earlier one waits behind it, and is asked once that one is answered. A
// newer question from the same asker for the same volume replaces one still waiting
// there, so nothing piles up behind a volume that never answers. Threads that wait on
// such a volume are let go: they never keep the program from ending.
class FileSystemAsker final
{
public:
    // The window waits this long before it shows that it waits. Folders on local disks
    // and live shares answer within a few tens of milliseconds, so this hides nothing
    // that answers normally and leaves no hold that a user would notice; Windows calls
    // a window that has not answered for five seconds hung.
    static constexpr std::chrono::milliseconds answerTime{300};

    explicit FileSystemAsker(std::chrono::milliseconds within = answerTime);
    ~FileSystemAsker();
    Q_DISABLE_COPY_MOVE(FileSystemAsker)

    // How long the window waits for an answer.
    [[nodiscard]] std::chrono::milliseconds within() const { return m_within; }

    class Question;
    using Ticket = std::shared_ptr<Question>;

    // Starts `work` on a thread for the volume (the root of the drive it concerns), or
    // queues it behind the question open there. `from` tells who asks. The work must
    // own all it uses: it may run to its end long after the asker is gone.
    [[nodiscard]] Ticket start(const NativePath& volume, std::function<void()> work, const void* from);
    // Whether the work has run by the deadline.
    [[nodiscard]] bool waitUntil(const Ticket& ticket, std::chrono::steady_clock::time_point deadline) const;
    // Runs `then` on the context's thread once the work has run, unless the context is
    // gone by then or the question was replaced.
    void whenDone(const Ticket& ticket, QObject* context, std::function<void()> then);
    // Gives up on the question: one still waiting behind another never runs; one
    // that runs goes on to its end, and nobody hears of it.
    void withdraw(const Ticket& ticket);

    // The usual use: the answer when it comes within the asker's time; otherwise
    // nothing, and `late` gets the answer when it comes.
    template <typename Answer>
    [[nodiscard]] std::optional<Answer> ask(const NativePath& volume, std::function<Answer()> question,
                                            QObject* context, std::function<void(Answer)> late);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    std::chrono::milliseconds m_within;
};

template <typename Answer>
std::optional<Answer> FileSystemAsker::ask(const NativePath& volume, std::function<Answer()> question,
                                           QObject* context, std::function<void(Answer)> late)
{
    auto answer = std::make_shared<std::optional<Answer>>();
    const Ticket ticket = start(
        volume, [answer, question = std::move(question)] { *answer = question(); }, context);
    if (waitUntil(ticket, std::chrono::steady_clock::now() + m_within))
        return std::move(*answer);
    whenDone(ticket, context, [answer, late = std::move(late)] { late(std::move(**answer)); });
    return std::nullopt;
}
