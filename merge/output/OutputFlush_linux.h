#pragma once

struct OutputCalls;

// Each returns 0 or the errno value of the failure. A file system that has nothing
// it could flush counts as flushed.

// Flushes the file's content to the disk.
[[nodiscard]] int flushData(const OutputCalls& calls, int fd);
// Flushes the entries of the folder open as `folder`, so that a new name in it
// survives a power cut too; `file`, a file in it, names its file system should the
// folder itself not be readable.
[[nodiscard]] int flushFolder(const OutputCalls& calls, int folder, int file);
