#pragma once

#include "app/MainWindow.h"
#include "base/FileSystemAsker.h"
#include "support/FakePrompter.h"
#include "support/TestDrives.h"

#include <QTemporaryDir>

#include <memory>

// A main window on a temporary folder tree with two fake drives, "C" and "D",
// each a folder of the tree, and a third drive "X" that cannot be read.
class WindowFixture
{
public:
    WindowFixture();

    // Native path of a folder or file below the temporary root, created on demand.
    QString folder(const QString& relative) const;
    QString touch(const QString& relative) const;
    [[nodiscard]] QString driveRoot(const QString& letter) const;

    MainWindow& start(const QString& programFolder, const QString& workingFolder);

    template <typename T>
    [[nodiscard]] T* control(const QString& name) const
    {
        return m_window->findChild<T*>(name);
    }

    QTemporaryDir temp;
    // Answers count as in time however loaded the machine: the window's waiting is
    // tested on its own.
    FileSystemAsker asker{std::chrono::seconds(30)};
    TestDrives drives;
    FakePrompter prompter;
    int endRequests = 0;
    // What the window's merges tell how far they are; the ordinary one where empty.
    std::function<std::unique_ptr<CopyProgress>()> makeProgress;

private:
    std::unique_ptr<MainWindow> m_window;
};
