#include "browser/VolumeProbe.h"

#include "base/FileSystemAsker.h"

#include <memory>
#include <utility>

VolumeProbe::VolumeProbe(FileSystemAsker& asker, Question question)
    : m_asker(asker), m_question(std::move(question))
{}

QList<VolumeAnswer> VolumeProbe::ask(const QList<NativePath>& roots, std::chrono::milliseconds within)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    QList<std::pair<FileSystemAsker::Ticket, std::shared_ptr<VolumeAnswer>>> asked;
    for (const NativePath& root : roots) {
        auto answer = std::make_shared<VolumeAnswer>();
        const auto work = [answer, question = m_question, root] {
            *answer = question(root);
            answer->answered = true;
        };
        asked.append({m_asker.start(root, work, this), answer});
    }
    QList<VolumeAnswer> answers;
    for (const auto& [ticket, answer] : asked)
        answers.append(m_asker.waitUntil(ticket, deadline) ? *answer : VolumeAnswer());
    return answers;
}
