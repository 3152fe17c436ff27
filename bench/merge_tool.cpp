// tamborel-merge OUTPUT INPUT...
//
// Runs the program's merge engine on the files named on the command line, so that
// its speed and memory can be compared with a plain byte copy. Like the window it
// refuses an existing output and leaves nothing at the output name on failure.
// Silent on success; on failure one line on stderr and a non-zero exit code.
#include "merge/MergeFiles.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

const char* statusName(MergeStatus status)
{
    switch (status) {
    case MergeStatus::Ok:
        return "ok";
    case MergeStatus::FolderMissing:
        return "folder does not exist";
    case MergeStatus::AlreadyExists:
        return "output exists already";
    case MergeStatus::InputFailed:
        return "cannot read input";
    case MergeStatus::InputNotAFile:
        return "input is not a regular file";
    case MergeStatus::OutputFailed:
        return "cannot write output";
    case MergeStatus::FolderFailed:
        return "cannot create folder";
    }
    return "failed";
}

} // namespace

int main(int argc, char* argv[])
{
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: tamborel-merge OUTPUT INPUT...\n");
        return 2;
    }
    const MergeResult result = mergeFiles(arguments.mid(2), arguments.at(1));
    if (result.ok())
        return 0;
    std::fprintf(stderr, "tamborel-merge: %s: %s%s%s\n", qUtf8Printable(result.path),
                 statusName(result.status), result.reason.isEmpty() ? "" : ": ",
                 qUtf8Printable(result.reason));
    return 1;
}
