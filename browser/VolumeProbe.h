#pragma once

#include "base/NativePath.h"

#include <QHash>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

// What a drive's volume answers when asked.
struct VolumeAnswer
{
    // False while the volume has not answered: a stopped file system in user
    // space, a network server gone, a disc spinning up.
    bool answered = false;
    // Whether the root is a folder, which only a folder that can be browsed is.
    bool isFolder = false;
    // The volume's number (the device number on POSIX systems); 0 when unknown.
    quint64 volume = 0;
    // The volume's own name, where the system has one.
    QString label;
};

// Asks volumes about their roots on threads of their own, and waits for the answers
// only so long: a volume that does not answer must not hold up the window, which
// lists the drives and shows itself all the same. A question still unanswered is
// not asked again while it waits; the volume counts as not answering until it
// answers, and the thread that waits on it ends then.
class VolumeProbe final
{
public:
    using Question = std::function<VolumeAnswer(const NativePath& root)>;

    explicit VolumeProbe(Question question);
    ~VolumeProbe();
    Q_DISABLE_COPY_MOVE(VolumeProbe)

    // The answers for the roots, in their order, asked all at once; those not in by
    // `within` are not answered.
    [[nodiscard]] QList<VolumeAnswer> ask(const QList<NativePath>& roots, std::chrono::milliseconds within);

private:
    struct Pending;
    [[nodiscard]] std::shared_ptr<Pending> pendingFor(const NativePath& root);

    Question m_question;
    // Questions that have not been answered yet, by the root's key.
    QHash<NativePath::Native, std::shared_ptr<Pending>> m_pending;
};
