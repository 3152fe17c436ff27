#pragma once

#include "base/NativePath.h"

#include <QList>

#include <atomic>

// How far a merge is: told by the thread that copies, read by whoever shows it, on a
// timer. Plain atomics, so that the copy never waits on whoever looks: no lock and no
// signal in the copy's loop.
class CopyProgress
{
public:
    CopyProgress() = default;
    virtual ~CopyProgress();
    Q_DISABLE_COPY_MOVE(CopyProgress)

    // The copy's side, on its own thread. The copy starts: the inputs' sizes now make
    // the whole, however they grow meanwhile.
    void start(const QList<NativePath>& inputs);
    // The copy takes up input `input`, again where it is written anew.
    void enter(qsizetype input);
    // `bytes` more of the current input are copied. Virtual, like publishing(): a
    // test's copy takes its time there.
    virtual void advance(qint64 bytes);
    // Publishing begins: it runs to its end whatever happens.
    virtual void publishing();

    // The watcher's side, on any thread.
    [[nodiscard]] qint64 total() const;
    // Never past the total, and never less than before.
    [[nodiscard]] qint64 done() const;
    // The input being copied; -1 before the first.
    [[nodiscard]] qsizetype input() const;
    [[nodiscard]] bool isPublishing() const;

private:
    // The copy's own: where each input starts in the whole, and where the copy is.
    QList<qint64> m_starts;
    qint64 m_position = 0;
    std::atomic<qint64> m_total{0};
    std::atomic<qint64> m_done{0};
    std::atomic<qsizetype> m_input{-1};
    std::atomic<bool> m_publishing{false};
};
