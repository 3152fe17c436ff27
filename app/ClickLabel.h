#pragma once

#include <QLabel>

// A label that reports a click of the mouse. The second press of a double-click
// is a double-click, not a second click, so a double-click reports one click.
// Assistive technology sees it as a button it can press; it takes no keyboard focus.
class ClickLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(QWidget* parent);

    // Reports a click, as assistive technology presses the label.
    void press();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
