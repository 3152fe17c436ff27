#include "app/ClickLabel.h"

#include <QMouseEvent>

#include <utility>

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* /*event*/)
{
    m_pressed = false;
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = std::exchange(m_pressed, false);
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
