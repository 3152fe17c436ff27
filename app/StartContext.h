#pragma once

#include "base/NativePath.h"

#include <functional>
#include <memory>

class CopyProgress;
class DriveSource;
class FileSystemAsker;
class MessagePrompter;

// What the main window takes from the world it runs in. main() fills it from the
// real system; tests fill it with temporary folders, fake drives and a fake prompter.
struct StartContext
{
    NativePath programFolder; // the folder that holds the executable
    NativePath workingFolder; // the process's current folder at start
    const DriveSource& driveSource;
    MessagePrompter& prompter;
    // Through which the window asks every file system, off its own thread.
    FileSystemAsker& asker;
    std::function<void()> endProgram;
    // What a merge's copy tells how far it is; the ordinary one where empty. Tests'
    // copies take their time there.
    std::function<std::unique_ptr<CopyProgress>()> makeProgress;
};
