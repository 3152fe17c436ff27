#pragma once

#include "base/MessagePrompter.h"

#include <memory>

class QMessageBox;
class QWidget;

// Shows the prompts as real modal QMessageBoxes titled with the application title.
// Building a box and reading its answer are apart from running it, so that both
// can be checked without entering a modal loop.
class BoxPrompter final : public MessagePrompter
{
public:
    explicit BoxPrompter(QWidget* parent = nullptr);
    void setParent(QWidget* parent);
    [[nodiscard]] BoxAnswer show(const QString& prompt, BoxStyle style) override;

    // The box for a prompt, ready to run: an information box with OK, or a
    // question with Yes and No where No is the default and Esc answers No.
    [[nodiscard]] std::unique_ptr<QMessageBox> makeBox(const QString& prompt, BoxStyle style) const;
    // The answer of a box that has run: Yes only for the Yes button; a question
    // closed any other way answers No.
    [[nodiscard]] static BoxAnswer answerOf(const QMessageBox& box);

private:
    QWidget* m_parent;
};
