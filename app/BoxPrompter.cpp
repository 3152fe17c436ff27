#include "app/BoxPrompter.h"

#include "app/AppInfo.h"

#include <QApplication>
#include <QMessageBox>

BoxAnswer BoxPrompter::show(const QString& prompt, BoxStyle style)
{
    const std::unique_ptr<QMessageBox> box = makeBox(prompt, style);
    box->exec();
    return answerOf(*box);
}

std::unique_ptr<QMessageBox> BoxPrompter::makeBox(const QString& prompt, BoxStyle style)
{
    // The program has one window; a box belongs to it, centred over it.
    QWidget* const parent = QApplication::activeWindow();
    if (style == BoxStyle::Question) {
        auto box = std::make_unique<QMessageBox>(QMessageBox::Question, applicationTitle(), prompt,
                                                 QMessageBox::Yes | QMessageBox::No, parent);
        box->setDefaultButton(QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
        return box;
    }
    return std::make_unique<QMessageBox>(QMessageBox::Information, applicationTitle(), prompt,
                                         QMessageBox::Ok, parent);
}

BoxAnswer BoxPrompter::answerOf(const QMessageBox& box)
{
    if (box.button(QMessageBox::Ok) != nullptr)
        return BoxAnswer::Ok;
    const QAbstractButton* clicked = box.clickedButton();
    return clicked != nullptr && clicked == box.button(QMessageBox::Yes) ? BoxAnswer::Yes : BoxAnswer::No;
}
