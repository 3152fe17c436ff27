#pragma once

#include <QLabel>

// A label that reports a click of the mouse. The second press of a double-click
// is a double-click, not a second click, so a double-click reports one click.
class ClickLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
