#include "browser/VolumeProbe.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

struct VolumeProbe::Pending
{
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    VolumeAnswer answer;
};

VolumeProbe::VolumeProbe(Question question) : m_question(std::move(question)) {}

VolumeProbe::~VolumeProbe() = default;

std::shared_ptr<VolumeProbe::Pending> VolumeProbe::pendingFor(const NativePath& root)
{
    if (const auto waiting = m_pending.constFind(root.key()); waiting != m_pending.cend()) {
        const std::lock_guard lock((*waiting)->mutex);
        // An answer that came in since is old news: the volume is asked anew.
        if (!(*waiting)->done)
            return *waiting;
    }
    auto pending = std::make_shared<Pending>();
    m_pending.insert(root.key(), pending);
    // Detached: a thread that waits on a volume that never answers must not hold up
    // the program's end either. It shares nothing but its own question and answer.
    std::thread([pending, question = m_question, root] {
        VolumeAnswer answer = question(root);
        answer.answered = true;
        const std::lock_guard lock(pending->mutex);
        pending->answer = std::move(answer);
        pending->done = true;
        pending->answered.notify_all();
    }).detach();
    return pending;
}

QList<VolumeAnswer> VolumeProbe::ask(const QList<NativePath>& roots, std::chrono::milliseconds within)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    QList<std::shared_ptr<Pending>> asked;
    for (const NativePath& root : roots)
        asked.append(pendingFor(root));
    QList<VolumeAnswer> answers;
    for (qsizetype i = 0; i < roots.size(); ++i) {
        Pending& pending = *asked.at(i);
        std::unique_lock lock(pending.mutex);
        if (!pending.answered.wait_until(lock, deadline, [&pending] { return pending.done; })) {
            answers.append(VolumeAnswer());
            continue;
        }
        answers.append(pending.answer);
        m_pending.remove(roots.at(i).key());
    }
    return answers;
}
