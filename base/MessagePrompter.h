#pragma once

#include <QString>

// The two kinds of modal box the program shows.
enum class BoxStyle
{
    Information, // information icon, OK
    Question,    // question icon, Yes and No, No the default
};

// Ok answers an information box; Yes or No a question.
enum class BoxAnswer
{
    Ok,
    Yes,
    No,
};

// Every message box goes through this interface, so that tests can answer the
// prompts without entering a modal loop.
class MessagePrompter
{
public:
    MessagePrompter() = default;
    virtual ~MessagePrompter();
    Q_DISABLE_COPY_MOVE(MessagePrompter)

    [[nodiscard]] virtual BoxAnswer show(const QString& prompt, BoxStyle style) = 0;
};
