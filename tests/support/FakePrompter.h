#pragma once

#include "base/MessagePrompter.h"

#include <QList>
#include <QQueue>

#include <functional>

// Records every prompt and answers from a queue (Yes/No questions default to No).
class FakePrompter final : public MessagePrompter
{
public:
    struct Prompt
    {
        QString text;
        BoxStyle style;
    };

    [[nodiscard]] BoxAnswer show(const QString& prompt, BoxStyle style) override;

    QList<Prompt> prompts;
    QQueue<BoxAnswer> answers;
    // Called as each box shows, to look at the window at that moment.
    std::function<void(const Prompt&)> onShow;
};
