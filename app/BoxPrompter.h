#pragma once

#include "base/MessagePrompter.h"

#include <memory>

class QMessageBox;

// Shows the prompts as real modal QMessageBoxes titled with the application title,
// over the window the user works in. Building a box and reading its answer are apart
// from running it, so that both can be checked without entering a modal loop.
class BoxPrompter final : public MessagePrompter
{
public:
    BoxPrompter() = default;
    Q_DISABLE_COPY_MOVE(BoxPrompter)

    [[nodiscard]] BoxAnswer show(const QString& prompt, BoxStyle style) override;

    // The box for a prompt, ready to run: an information box with OK, or a
    // question with Yes and No where No is the default and Esc answers No.
    [[nodiscard]] static std::unique_ptr<QMessageBox> makeBox(const QString& prompt, BoxStyle style);
    // The answer of a box that has run: Yes only for the Yes button; a question
    // closed any other way answers No.
    [[nodiscard]] static BoxAnswer answerOf(const QMessageBox& box);
};
