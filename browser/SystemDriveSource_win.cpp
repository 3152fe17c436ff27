// The drives of a Windows system: its drive letters. The letters come from the
// system at once; a volume's name takes asking the volume, which for a network drive
// whose server is gone, or a disc spinning up, can take a long while.
#include "base/Win32Path_win.h"
#include "browser/ReadingOrder.h"
#include "browser/SystemDriveSource.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <windows.h>

namespace {

using namespace std::chrono_literals;

// How long the drives are waited for, all together: short enough that the window
// shows at once, long enough for any volume that answers at all.
constexpr auto answerTime = 300ms;

// Asked on a thread of its own: the volume's name. An empty drive (a card reader
// without its card) answers too, and is found unreadable by the folder pane.
VolumeAnswer askVolume(const NativePath& root)
{
    wchar_t name[MAX_PATH + 1] = {};
    VolumeAnswer answer;
    answer.isFolder = true;
    if (GetVolumeInformationW(win32Path(root).c_str(), name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                              0))
        answer.label = QString::fromWCharArray(name);
    return answer;
}

} // namespace

SystemDriveSource::SystemDriveSource(FileSystemAsker& asker) : m_probe(asker, askVolume) {}

QList<Drive> SystemDriveSource::drives() const
{
    QList<NativePath> roots;
    const QFileInfoList letters = QDir::drives();
    for (const QFileInfo& letter : letters)
        roots.append(NativePath::fromNative(QDir::toNativeSeparators(letter.absoluteFilePath())));
    const QList<VolumeAnswer> answers = m_probe.ask(roots, answerTime);
    QList<Drive> drives;
    for (qsizetype i = 0; i < roots.size(); ++i) {
        // "c: [System]", the way the drive letters have always been shown.
        QString label = roots.at(i).native().left(2).toLower();
        if (!answers.at(i).label.isEmpty())
            label += QStringLiteral(" [%1]").arg(answers.at(i).label);
        drives.append({roots.at(i), label, 0});
    }
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return readingLess(a.root.display(), b.root.display()); });
    return drives;
}

bool SystemDriveSource::isStillMounted(const Drive& drive) const
{
    // A drive letter names its volume for as long as it exists; one whose volume
    // does not answer is treated as a drive that cannot be read.
    return m_probe.ask({drive.root}, answerTime).constFirst().answered;
}
