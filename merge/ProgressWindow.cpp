#include "merge/ProgressWindow.h"

#include "merge/MergeTexts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The bar counts in thousandths: an int holds no count of bytes past 2 GiB.
constexpr int barSteps = 1000;

} // namespace

ProgressWindow::ProgressWindow(QWidget& mainWindow)
    : QDialog(&mainWindow,
              Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
      m_file(new QLabel(this)), m_bar(new QProgressBar(this)),
      m_cancelButton(new QPushButton(mergetexts::cancelButton(), this)), m_taskbar(mainWindow)
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(mergetexts::progressCaption());
    setWindowModality(Qt::ApplicationModal);
    m_file->setObjectName(QStringLiteral("labProgressFile"));
    m_file->setTextFormat(Qt::PlainText);
    m_bar->setObjectName(QStringLiteral("barProgress"));
    m_bar->setAccessibleName(mergetexts::progressBar());
    m_bar->setRange(0, barSteps);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    // Nothing else takes Enter, so that a key meant for the main window cancels nothing.
    m_cancelButton->setAutoDefault(false);
    connect(m_cancelButton, &QPushButton::clicked, this, &ProgressWindow::cancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_file);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    // Wide enough for a path of some length; longer ones are cut in the middle.
    setFixedWidth(fontMetrics().averageCharWidth() * 60);
}

void ProgressWindow::showProgress(qint64 done, qint64 total, const QString& file, bool publishing)
{
    showText(publishing ? mergetexts::publishing() : file);
    m_bar->setRange(0, barSteps);
    m_bar->setValue(total > 0 ? int(double(done) / double(total) * barSteps) : 0);
    if (publishing) {
        m_bar->setValue(barSteps);
        m_cancelButton->setEnabled(false);
    }
    m_taskbar.show(m_bar->value(), barSteps);
}

void ProgressWindow::showChecking(const QString& text)
{
    showText(text);
    m_bar->setRange(0, 0);
    m_taskbar.show(0, barSteps);
}

void ProgressWindow::showText(const QString& text)
{
    m_file->setText(m_file->fontMetrics().elidedText(text, Qt::ElideMiddle, m_file->contentsRect().width()));
    m_file->setAccessibleName(text);
}

void ProgressWindow::reject()
{
    cancel();
}

void ProgressWindow::cancel()
{
    if (!m_cancelButton->isEnabled())
        return;
    m_cancelButton->setEnabled(false);
    emit cancelRequested();
}

void ProgressWindow::enterEvent(QEnterEvent* event)
{
    if (!m_ordinaryPointer) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_ordinaryPointer = true;
    }
    QDialog::enterEvent(event);
}

void ProgressWindow::leaveEvent(QEvent* event)
{
    restorePointer();
    QDialog::leaveEvent(event);
}

void ProgressWindow::hideEvent(QHideEvent* event)
{
    restorePointer();
    QDialog::hideEvent(event);
}

void ProgressWindow::restorePointer()
{
    if (std::exchange(m_ordinaryPointer, false))
        QApplication::restoreOverrideCursor();
}
