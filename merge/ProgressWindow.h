#pragma once

#include "merge/TaskbarProgress.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The small window a merge shows once it has run for a while: the file being
// copied, a bar of the bytes done, and a button that cancels. Modal over the main
// window, which stays disabled behind it. It only shows what it is given, and tells
// when the user wants the merge stopped: the button, Esc, or its own close button.
// The main window's taskbar button shows the bar too, where the desktop has that.
class ProgressWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget& mainWindow);
    Q_DISABLE_COPY_MOVE(ProgressWindow)

    // `done` bytes of `total` are copied, of `file`; once `publishing`, the merged
    // file is flushed and named, which runs to its end.
    void showProgress(qint64 done, qint64 total, const QString& file, bool publishing);
    // Before the copy: the merge waits for the output's file system, for how long
    // nobody can tell.
    void showChecking(const QString& text);

signals:
    void cancelRequested();

protected:
    // Esc and the close button: the window stays until the merge has stopped.
    void reject() override;
    // The main window behind shows the busy pointer; this window, where the user
    // may cancel, the ordinary one.
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showText(const QString& text);
    void cancel();
    void restorePointer();

    QLabel* m_file;
    QProgressBar* m_bar;
    QPushButton* m_cancelButton;
    TaskbarProgress m_taskbar;
    bool m_ordinaryPointer = false;
};
