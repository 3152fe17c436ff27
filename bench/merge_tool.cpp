// tamborel-merge OUTPUT INPUT...
//
// Runs the program's merge engine on the files named on the command line, so that
// its speed and memory can be compared with a plain byte copy. Like the window it
// refuses an existing output and leaves nothing at the output name on failure.
// On success it says on stderr only which inputs it converted, in the window's
// words; on failure one line on stderr and a non-zero exit code.
//
// Every argument is a file name exactly as given, bytes and all: the tool makes no
// Qt application object, which would take arguments such as -qmljsdebugger for
// itself.
#include "merge/ConversionText.h"
#include "merge/MergeFiles.h"
#include "merge/result/SystemError.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
// Needs windows.h first.
#include <shellapi.h>
#endif

namespace {

const char* statusName(MergeStatus status)
{
    switch (status) {
    case MergeStatus::Ok:
        return "ok";
    case MergeStatus::BadName:
        return "the system cannot search for such a name";
    case MergeStatus::CannotCheck:
        return "cannot tell whether the output exists";
    case MergeStatus::OutputNotCreated:
        return "cannot create output";
    case MergeStatus::FolderMissing:
        return "folder does not exist";
    case MergeStatus::AlreadyExists:
        return "output exists already";
    case MergeStatus::InputFailed:
        return "cannot read input";
    case MergeStatus::InputNotAFile:
        return "input is not a regular file";
    case MergeStatus::InputIsOutput:
        return "input is the output being written";
    case MergeStatus::EncodingUnknown:
        return "encoding not recognised, cannot go into a UTF-16 output";
    case MergeStatus::InputChanged:
        return "input changed while it was merged, or is not valid text";
    case MergeStatus::CannotConvert:
        return "input has a character the output's encoding cannot hold";
    case MergeStatus::OutputFailed:
        return "cannot write output";
    case MergeStatus::FolderFailed:
        return "cannot create folder";
    case MergeStatus::Cancelled:
        return "stopped";
    }
    return "failed";
}

QList<NativePath> nativeArguments(int argc, char* argv[])
{
    QList<NativePath> arguments;
#ifdef Q_OS_WIN
    // The system's own UTF-16 command line, not the code-page copy in argv.
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i)
        arguments.append(NativePath::fromNative(QString::fromWCharArray(wide[i])));
    LocalFree(wide);
#else
    for (int i = 0; i < argc; ++i)
        arguments.append(NativePath::fromNative(QByteArray(argv[i])));
#endif
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
    const QList<NativePath> arguments = nativeArguments(argc, argv);
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: tamborel-merge OUTPUT INPUT...\n");
        return 2;
    }
    const MergeReport result = mergeFiles(arguments.mid(2), arguments.at(1));
    if (result.ok()) {
        if (const QString converted = conversionText(result.converted); !converted.isEmpty())
            std::fprintf(stderr, "%s\n", qUtf8Printable(converted));
        return 0;
    }
    const QString reason = result.error == 0 ? QString() : systemErrorText(result.error);
    std::fprintf(stderr, "tamborel-merge: %s: %s%s%s\n", qUtf8Printable(result.path.display()),
                 statusName(result.status), reason.isEmpty() ? "" : ": ", qUtf8Printable(reason));
    return 1;
}
