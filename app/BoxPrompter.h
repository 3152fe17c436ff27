#pragma once

#include "app/MessagePrompter.h"

class QWidget;

// Shows the prompts as real modal QMessageBoxes titled with the application title.
class BoxPrompter final : public MessagePrompter
{
public:
    explicit BoxPrompter(QWidget* parent = nullptr);
    void setParent(QWidget* parent);
    [[nodiscard]] BoxAnswer show(const QString& prompt, BoxStyle style) override;

private:
    QWidget* m_parent;
};
