#pragma once

#include <QString>

// The two kinds of modal box the program shows. The values are those of the
// classic message-box API, kept so the boxes read the same in every part.
enum class BoxStyle
{
    Information = 64, // information icon, OK
    Question = 292,   // question icon, Yes and No, No the default
};

enum class BoxAnswer
{
    Ok = 1,
    Yes = 6,
    No = 7,
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
