#include "app/ClickLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>

#include <utility>

namespace {

// A button to assistive technology, named by its accessible name, with a press action.
class ClickLabelAccessible final : public QAccessibleWidget
{
public:
    explicit ClickLabelAccessible(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}

    [[nodiscard]] QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            static_cast<ClickLabel*>(widget())->press();
    }

    [[nodiscard]] static QAccessibleInterface* create(const QString& /*className*/, QObject* object)
    {
        auto* label = qobject_cast<ClickLabel*>(object);
        return label == nullptr ? nullptr : new ClickLabelAccessible(label);
    }
};

} // namespace

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent)
{
    // Qt ignores an installed factory the second time.
    QAccessible::installFactory(&ClickLabelAccessible::create);
}

void ClickLabel::press()
{
    emit clicked();
}

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
