#pragma once

#include <QByteArray>

// Removes named temporary files when a termination signal (SIGINT, SIGTERM,
// SIGHUP and the like) ends the program: a logout or a Ctrl+C in the middle of a
// merge must not leave a partial file behind on file systems without unnamed
// temporary files. Signals that are ignored stay ignored, and a signal that was
// left to its default action still ends the program as that signal would, only
// after the files are gone. A signal handler can reach nothing but process-wide
// state, so this is the program's one piece of it.
namespace signalcleanup {

// Guards the file `name` in the folder open as `folder`: from now until disarm(), a
// termination signal removes it first. Arm before creating the file, so that no
// moment is unguarded. Returns the guard's number, or -1 when every guard is taken.
[[nodiscard]] int arm(int folder, const QByteArray& name);
// Ends the guard; -1 is ignored.
void disarm(int guard);
// A file-size limit (RLIMIT_FSIZE) is met with SIGXFSZ, which ends the program by
// default: ignored, the write fails with EFBIG instead, and the merge tells of it as
// of a full disk.
void failWritesPastSizeLimit();
// How many guards a termination signal would act on now: the tests check that
// none outlives its file, and that none acts before its name is complete.
[[nodiscard]] int armedCount();

} // namespace signalcleanup
