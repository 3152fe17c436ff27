#include "app/BoxPrompter.h"

#include "app/AppInfo.h"

#include <QMessageBox>

BoxPrompter::BoxPrompter(QWidget* parent) : m_parent(parent) {}

void BoxPrompter::setParent(QWidget* parent)
{
    m_parent = parent;
}

BoxAnswer BoxPrompter::show(const QString& prompt, BoxStyle style)
{
    if (style == BoxStyle::Question) {
        QMessageBox box(QMessageBox::Question, applicationTitle(), prompt, QMessageBox::Yes | QMessageBox::No,
                        m_parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    }
    QMessageBox box(QMessageBox::Information, applicationTitle(), prompt, QMessageBox::Ok, m_parent);
    box.exec();
    return BoxAnswer::Ok;
}
