#include "app/MainWindow.h"

#include "app/AppInfo.h"
#include "app/ClickLabel.h"
#include "app/ScreenFit.h"
#include "app/Twips.h"
#include "app/WindowDesign.h"
#include "app/WindowTexts.h"
#include "browser/DriveFolders.h"
#include "browser/DrivePane.h"
#include "browser/FilePane.h"
#include "browser/FolderPane.h"
#include "merge/MergeCommand.h"
#include "mergelist/MergeListController.h"
#include "mergelist/MergeListModel.h"
#include "mergelist/MergeListView.h"
#include "outputname/OutputName.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace {

QFont windowFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(9);
    return font;
}

// The design names a Western face for these two; Qt falls back to a face with the
// Chinese glyphs where the text needs them.
QFont westernFont(qreal points)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

// How far the long-name view widens the merge list over the help text, in twips.
constexpr int longNameStep = 2490;

template <typename Widget>
Widget* makeControl(QWidget* parent, const QString& name)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    return widget;
}

QPushButton* makeButton(QWidget* parent, const QString& name)
{
    auto* button = makeControl<QPushButton>(parent, name);
    button->setText(texts::caption(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* makeLabel(QLabel* label, const QString& name)
{
    label->setObjectName(name);
    label->setText(texts::caption(name));
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

} // namespace

MainWindow::MainWindow(const StartContext& context)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_context(context),
      m_driveFolders(std::make_unique<DriveFolders>(context.driveSource, context.workingFolder))
{
    setObjectName(QStringLiteral("frmMain"));
    setFont(windowFont());
    setWindowIcon(QIcon(QStringLiteral(":/tamborel/tamborel.png")));
    buildControls();
    applyDesign();
    applyTabOrder();
    applyAccessibility();
    showStartFolder();
    connectHandlers();
    load();
    m_folderPane->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    buildLabelsAndTexts();
    buildBrowser();
    buildButtons();
}

void MainWindow::buildBrowser()
{
    m_drivePane = new DrivePane(*m_driveFolders, this);
    m_drivePane->setObjectName(QStringLiteral("driOperate"));
    m_folderPane = new FolderPane(*m_driveFolders, m_context.asker, this);
    m_folderPane->setObjectName(QStringLiteral("dirOperate"));
    m_filePane = new FilePane(*m_driveFolders, m_context.asker, this);
    m_filePane->setObjectName(QStringLiteral("filOperate"));
}

void MainWindow::buildButtons()
{
    m_addButton = makeButton(this, QStringLiteral("cmdAdd"));
    m_addAllButton = makeButton(this, QStringLiteral("cmdAddAll"));
    m_removeButton = makeButton(this, QStringLiteral("cmdDel"));
    m_removeAllButton = makeButton(this, QStringLiteral("cmdDelAll"));
    m_moveUpButton = makeButton(this, QStringLiteral("cmdUp"));
    m_moveDownButton = makeButton(this, QStringLiteral("cmdDown"));
    m_mergeButton = makeButton(this, QStringLiteral("cmdUnite"));
    m_exitButton = makeButton(this, QStringLiteral("cmdExit"));
}

void MainWindow::buildLabelsAndTexts()
{
    m_mergeListLabel = makeLabel(new QLabel(this), QStringLiteral("labUnite"));
    m_outputLabel = makeLabel(new QLabel(this), QStringLiteral("labSave"));
    m_longNameToggle = new ClickLabel(this);
    makeLabel(m_longNameToggle, QStringLiteral("labElongate"));
    m_longNameToggle->setFont(westernFont(12));

    m_mergeListView = makeControl<MergeListView>(this, QStringLiteral("lstUnite"));
    // The window owns the merge list; the view only shows it.
    m_model = new MergeListModel(this);
    m_mergeListView->setModel(m_model);

    m_helpText = makeControl<QPlainTextEdit>(this, QStringLiteral("txtHelp"));
    m_helpText->setFont(westernFont(9.75));
    m_helpText->setPlainText(texts::helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_helpText->setReadOnly(true);
    m_helpText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_helpText->setTabChangesFocus(true);
    m_helpText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_helpText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_helpText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_outputName = makeControl<QLineEdit>(this, QStringLiteral("txtUnite"));
}

void MainWindow::applyDesign()
{
    for (const ControlDesign& c : design::controls()) {
        auto* widget = findChild<QWidget*>(c.name, Qt::FindDirectChildrenOnly);
        Q_ASSERT(widget);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            // Labels take the size of their caption, anchored at their place.
            label->move(twips::toPoint(c.left, c.top));
            label->adjustSize();
            label->lower();
        } else {
            widget->setGeometry(twips::toRect(c.left, c.top, c.width, c.height));
        }
    }
    const QRect client =
        twips::toRect(design::windowLeft, design::windowTop, design::clientWidth, design::clientHeight);
    setFixedSize(client.size());
    setGeometry(client);
}

void MainWindow::applyTabOrder()
{
    QWidget* previous = nullptr;
    for (const QString& name : design::tabOrder()) {
        auto* widget = findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

// How assistive technology reads the window; what it shows stays as designed.
void MainWindow::applyAccessibility()
{
    const QList<QWidget*> controls = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) {
        const QString name = texts::accessibleName(control->objectName());
        if (!name.isEmpty())
            control->setAccessibleName(name);
    }
    m_mergeListLabel->setBuddy(m_mergeListView);
    m_outputLabel->setBuddy(m_outputName);
    // A list view takes no label from a buddy: it gets the label's words instead.
    m_mergeListView->setAccessibleDescription(m_mergeListLabel->text());
    m_longNameToggle->setAccessibleName(texts::longNameToggle(false));
}

void MainWindow::showStartFolder()
{
    m_drivePane->setDrive(m_context.workingFolder);
    m_folderPane->setPath(m_context.workingFolder);
    m_filePane->setPath(m_folderPane->path());
}

void MainWindow::connectHandlers()
{
    connect(m_drivePane, &DrivePane::changed, this, &MainWindow::onDriveChanged);
    connect(m_folderPane, &FolderPane::changed, this, &MainWindow::onFolderChanged);
    connect(m_filePane, &FilePane::pathChanged, this, &MainWindow::onFilePathChanged);
    connect(m_exitButton, &QPushButton::clicked, this, [this] { m_context.endProgram(); });
    connect(m_longNameToggle, &ClickLabel::clicked, this, &MainWindow::toggleLongNameView);

    m_mergeList = new MergeListController(*m_filePane, *m_model, *m_mergeListView, m_context.prompter, this);
    connect(m_addButton, &QPushButton::clicked, m_mergeList, &MergeListController::addSelectedFiles);
    connect(m_addAllButton, &QPushButton::clicked, m_mergeList, &MergeListController::addAllFiles);
    connect(m_filePane, &FilePane::entryDoubleClicked, m_mergeList, &MergeListController::addCurrentFile);
    connect(m_mergeListView, &MergeListView::filesDropped, m_mergeList, &MergeListController::addDropped);
    connect(m_removeButton, &QPushButton::clicked, m_mergeList, &MergeListController::removeSelected);
    connect(m_removeAllButton, &QPushButton::clicked, m_mergeList, &MergeListController::removeAll);
    connect(m_moveUpButton, &QPushButton::clicked, m_mergeList, &MergeListController::moveSelectedUp);
    connect(m_moveDownButton, &QPushButton::clicked, m_mergeList, &MergeListController::moveSelectedDown);

    m_merge = std::make_unique<MergeCommand>(MergeSurroundings{
        *this,
        *m_model,
        *m_outputName,
        [this] { return m_filePane->path(); },
        m_context.prompter,
        m_context.asker,
        [this](const NativePath& path) { return m_driveFolders->driveOf(path); },
        m_context.makeProgress,
    });
    connect(m_mergeButton, &QPushButton::clicked, this, [this] { m_merge->run(); });
}

void MainWindow::load()
{
    m_drivePane->setDrive(m_context.programFolder);
    setWindowTitle(applicationTitle());
    m_outputName->setText(defaultOutputName(m_filePane->path()));
}

void MainWindow::onDriveChanged()
{
    // A drive that cannot be read leaves the folder pane where it was; putting the
    // drive pane back on the folder's drive then runs this handler once more.
    const bool moved = m_folderPane->moveToDrive(m_drivePane->drive());
    m_drivePane->setDrive(m_folderPane->path());
    // A volume that went away since the list was read must not stay in the way of
    // the keyboard, which walks the list without opening it.
    if (!moved)
        m_drivePane->refresh();
}

void MainWindow::onFolderChanged()
{
    m_filePane->setPath(m_folderPane->path());
}

void MainWindow::onFilePathChanged()
{
    m_outputName->setText(defaultOutputName(m_filePane->path()));
}

void MainWindow::toggleLongNameView()
{
    const int step = twips::toPixels(longNameStep);
    const bool widen = m_longNameToggle->text().compare(QStringLiteral(">>"), Qt::CaseInsensitive) == 0;
    m_longNameToggle->setText(widen ? QStringLiteral("<<") : QStringLiteral(">>"));
    m_longNameToggle->setAccessibleName(texts::longNameToggle(widen));
    m_longNameToggle->adjustSize();
    m_helpText->setVisible(!widen);
    m_mergeListView->resize(m_mergeListView->width() + (widen ? step : -step), m_mergeListView->height());
    m_longNameToggle->move(m_longNameToggle->x() + (widen ? step : -step), m_longNameToggle->y());
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        keepOnScreen();
}

// The window manager's frame (title bar, borders) is known only once the window is on
// the screen: the first activation fits the window once more with it.
void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_fittedWithFrame) {
        m_fittedWithFrame = true;
        keepOnScreen();
    }
}

// The design's place is in logical pixels: on a scaled or small screen it can put the
// bottom row (the output name, 退出) below the screen's edge.
void MainWindow::keepOnScreen()
{
    const QScreen* shownOn = screen();
    if (shownOn == nullptr)
        return;
    const QRect frame = frameGeometry();
    const QPoint fitted = fittedFramePosition(frame, shownOn->availableGeometry());
    if (fitted != frame.topLeft())
        move(fitted);
}
