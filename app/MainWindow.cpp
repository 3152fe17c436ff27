#include "app/MainWindow.h"

#include "app/AppInfo.h"
#include "app/ClickLabel.h"
#include "app/Twips.h"
#include "app/WindowDesign.h"
#include "app/WindowTexts.h"
#include "browser/DriveFolders.h"
#include "browser/DrivePane.h"
#include "browser/FilePane.h"
#include "browser/FolderPane.h"
#include "browser/OutputName.h"
#include "merge/MergeCommand.h"
#include "mergelist/MergeListController.h"
#include "mergelist/MergeListModel.h"
#include "mergelist/MergeListView.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

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
    m_dirOperate->setFocus();
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
    m_driOperate = new DrivePane(*m_driveFolders, this);
    m_driOperate->setObjectName(QStringLiteral("driOperate"));
    m_dirOperate = new FolderPane(*m_driveFolders, this);
    m_dirOperate->setObjectName(QStringLiteral("dirOperate"));
    m_filOperate = new FilePane(this);
    m_filOperate->setObjectName(QStringLiteral("filOperate"));
}

void MainWindow::buildButtons()
{
    m_cmdAdd = makeButton(this, QStringLiteral("cmdAdd"));
    m_cmdAddAll = makeButton(this, QStringLiteral("cmdAddAll"));
    m_cmdDel = makeButton(this, QStringLiteral("cmdDel"));
    m_cmdDelAll = makeButton(this, QStringLiteral("cmdDelAll"));
    m_cmdUp = makeButton(this, QStringLiteral("cmdUp"));
    m_cmdDown = makeButton(this, QStringLiteral("cmdDown"));
    m_cmdUnite = makeButton(this, QStringLiteral("cmdUnite"));
    m_cmdExit = makeButton(this, QStringLiteral("cmdExit"));
}

void MainWindow::buildLabelsAndTexts()
{
    m_labUnite = makeLabel(new QLabel(this), QStringLiteral("labUnite"));
    m_labSave = makeLabel(new QLabel(this), QStringLiteral("labSave"));
    m_labElongate = new ClickLabel(this);
    makeLabel(m_labElongate, QStringLiteral("labElongate"));
    m_labElongate->setFont(westernFont(12));

    m_lstUnite = makeControl<MergeListView>(this, QStringLiteral("lstUnite"));
    // The window owns the merge list; the view only shows it.
    m_model = new MergeListModel(this);
    m_lstUnite->setModel(m_model);

    m_txtHelp = makeControl<QPlainTextEdit>(this, QStringLiteral("txtHelp"));
    m_txtHelp->setFont(westernFont(9.75));
    m_txtHelp->setPlainText(texts::helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_txtHelp->setReadOnly(true);
    m_txtHelp->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_txtHelp->setTabChangesFocus(true);
    m_txtHelp->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_txtUnite = makeControl<QLineEdit>(this, QStringLiteral("txtUnite"));
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
    m_labUnite->setBuddy(m_lstUnite);
    m_labSave->setBuddy(m_txtUnite);
    // A list view takes no label from a buddy: it gets the label's words instead.
    m_lstUnite->setAccessibleDescription(m_labUnite->text());
    m_labElongate->setAccessibleName(texts::longNameToggle(false));
}

void MainWindow::showStartFolder()
{
    m_driOperate->setDrive(m_context.workingFolder);
    m_dirOperate->setPath(m_context.workingFolder);
    m_filOperate->setPath(m_dirOperate->path());
}

void MainWindow::connectHandlers()
{
    connect(m_driOperate, &DrivePane::changed, this, &MainWindow::onDriveChanged);
    connect(m_dirOperate, &FolderPane::changed, this, &MainWindow::onFolderChanged);
    connect(m_filOperate, &FilePane::pathChanged, this, &MainWindow::onFilePathChanged);
    connect(m_cmdExit, &QPushButton::clicked, this, [this] { m_context.endProgram(); });
    connect(m_labElongate, &ClickLabel::clicked, this, &MainWindow::toggleLongNameView);

    m_mergeList = new MergeListController(*m_filOperate, *m_model, *m_lstUnite, m_context.prompter, this);
    connect(m_cmdAdd, &QPushButton::clicked, m_mergeList, &MergeListController::cmdAdd);
    connect(m_cmdAddAll, &QPushButton::clicked, m_mergeList, &MergeListController::cmdAddAll);
    connect(m_filOperate, &FilePane::entryDoubleClicked, m_mergeList, &MergeListController::addCurrentFile);
    connect(m_lstUnite, &MergeListView::filesDropped, m_mergeList, &MergeListController::addDropped);
    connect(m_cmdDel, &QPushButton::clicked, m_mergeList, &MergeListController::cmdDel);
    connect(m_cmdDelAll, &QPushButton::clicked, m_mergeList, &MergeListController::cmdDelAll);
    connect(m_cmdUp, &QPushButton::clicked, m_mergeList, &MergeListController::cmdUp);
    connect(m_cmdDown, &QPushButton::clicked, m_mergeList, &MergeListController::cmdDown);

    m_merge = std::make_unique<MergeCommand>(
        *this, *m_model, *m_txtUnite, [this] { return m_filOperate->path(); }, m_context.prompter);
    connect(m_cmdUnite, &QPushButton::clicked, this, [this] { m_merge->run(); });
}

void MainWindow::load()
{
    m_driOperate->setDrive(m_context.programFolder);
    setWindowTitle(applicationTitle());
    m_txtUnite->setText(defaultOutputName(m_filOperate->path()));
}

void MainWindow::onDriveChanged()
{
    // A drive that cannot be read leaves the folder pane where it was; putting the
    // drive pane back on the folder's drive then runs this handler once more.
    const bool moved = m_dirOperate->moveToDrive(m_driOperate->drive());
    m_driOperate->setDrive(m_dirOperate->path());
    // A volume that went away since the list was read must not stay in the way of
    // the keyboard, which walks the list without opening it.
    if (!moved)
        m_driOperate->refresh();
}

void MainWindow::onFolderChanged()
{
    m_filOperate->setPath(m_dirOperate->path());
}

void MainWindow::onFilePathChanged()
{
    m_txtUnite->setText(defaultOutputName(m_filOperate->path()));
}

void MainWindow::toggleLongNameView()
{
    const int step = twips::toPixels(longNameStep);
    const bool widen = m_labElongate->text().compare(QStringLiteral(">>"), Qt::CaseInsensitive) == 0;
    m_labElongate->setText(widen ? QStringLiteral("<<") : QStringLiteral(">>"));
    m_labElongate->setAccessibleName(texts::longNameToggle(widen));
    m_labElongate->adjustSize();
    m_txtHelp->setVisible(!widen);
    m_lstUnite->resize(m_lstUnite->width() + (widen ? step : -step), m_lstUnite->height());
    m_labElongate->move(m_labElongate->x() + (widen ? step : -step), m_labElongate->y());
}
