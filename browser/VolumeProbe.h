#pragma once

#include "base/NativePath.h"

#include <QList>
#include <QString>

#include <chrono>
#include <functional>

class FileSystemAsker;

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

// Asks volumes about their roots, all at once, and waits for the answers only so
// long: a volume that does not answer must not hold up the window, which lists the
// drives and shows itself all the same. A volume still busy with an earlier question
// is not asked again meanwhile, and counts as not answering.
class VolumeProbe final
{
public:
    using Question = std::function<VolumeAnswer(const NativePath& root)>;

    VolumeProbe(FileSystemAsker& asker, Question question);
    Q_DISABLE_COPY_MOVE(VolumeProbe)

    // The answers for the roots, in their order; those not in by `within` (one time
    // for all of them) are not answered.
    [[nodiscard]] QList<VolumeAnswer> ask(const QList<NativePath>& roots, std::chrono::milliseconds within);

private:
    FileSystemAsker& m_asker;
    Question m_question;
};
