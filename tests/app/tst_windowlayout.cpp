#include "app/ScreenFit.h"
#include "app/WindowDesign.h"
#include "app/WindowTexts.h"
#include "mergelist/MergeListModel.h"
#include "support/WindowFixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <cmath>

namespace {

int px(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

QStringList buttonNames()
{
    return {QStringLiteral("cmdAdd"),    QStringLiteral("cmdAddAll"), QStringLiteral("cmdDel"),
            QStringLiteral("cmdDelAll"), QStringLiteral("cmdUp"),     QStringLiteral("cmdDown"),
            QStringLiteral("cmdUnite"),  QStringLiteral("cmdExit")};
}

// The Tab cycle from the focus on dirOperate, as the window's design orders it.
QStringList designTabCycle()
{
    return {QStringLiteral("filOperate"), QStringLiteral("cmdExit"),   QStringLiteral("driOperate"),
            QStringLiteral("txtHelp"),    QStringLiteral("lstUnite"),  QStringLiteral("cmdDel"),
            QStringLiteral("cmdUp"),      QStringLiteral("cmdDown"),   QStringLiteral("cmdAdd"),
            QStringLiteral("cmdUnite"),   QStringLiteral("txtUnite"),  QStringLiteral("cmdAddAll"),
            QStringLiteral("cmdDelAll"),  QStringLiteral("dirOperate")};
}

} // namespace

class WindowLayoutTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controls_data();
    void controls();
    void windowFrame();
    void screenFit_data();
    void screenFit();
    void tabCycle();
    void accessKeys();
    void helpTextIsReadOnlyYetSelectable();
    void longEntryIsCutOff();
    void versionResource_data();
    void versionResource();
    void accessibleNames_data();
    void accessibleNames();
    void accessibleLabelsAndToggle();

private:
    QStringList visitWithKey(int count, Qt::KeyboardModifiers modifiers);

    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow* m_window = nullptr;
};

void WindowLayoutTest::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    const QString work = m_fixture->folder(QStringLiteral("C/work"));
    m_window = &m_fixture->start(work, work);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void WindowLayoutTest::cleanup()
{
    m_fixture.reset();
}

void WindowLayoutTest::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<int>("tabIndex");
    QTest::addColumn<qreal>("points");

    // Every control has the window's 9-point font but the two in a Western face.
    const auto row = [](const char* name, const char* kind, const QString& caption, QRect rect, int tab) {
        const QByteArrayView control(name);
        const qreal points = control == "txtHelp" ? 9.75 : control == "labElongate" ? 12 : 9;
        QTest::newRow(name) << QString::fromLatin1(kind) << caption << rect << tab << points;
    };
    row("driOperate", "QComboBox", QString(), {30, 60, 1980, 315}, 3);
    row("dirOperate", "QAbstractItemView", QString(), {30, 450, 1980, 1215}, 0);
    row("filOperate", "QAbstractItemView", QString(), {30, 1755, 1980, 2430}, 1);
    row("cmdAdd", "QPushButton", QStringLiteral("添加>"), {2040, 15, 1050, 570}, 9);
    row("cmdAddAll", "QPushButton", QStringLiteral("添加全部>>"), {2040, 615, 1050, 570}, 13);
    row("cmdDel", "QPushButton", QStringLiteral("移除<"), {2040, 1215, 1050, 570}, 6);
    row("cmdDelAll", "QPushButton", QStringLiteral("移除全部<<"), {2040, 1815, 1050, 570}, 14);
    row("cmdUp", "QPushButton", QStringLiteral("上移^"), {2040, 2415, 1050, 570}, 7);
    row("cmdDown", "QPushButton", QStringLiteral("下移v"), {2040, 3015, 1050, 570}, 8);
    row("cmdUnite", "QPushButton", QStringLiteral("合并<>"), {2040, 3615, 1050, 570}, 10);
    row("labUnite", "QLabel", QStringLiteral("以下文本文件将按次序进行合并："), {3225, 120, 2700, 195}, 12);
    row("lstUnite", "QListView", QString(), {3125, 420, 3255, 3660}, 5);
    row("labElongate", "QLabel", QStringLiteral(">>"), {6060, 60, 270, 300}, 16);
    row("txtHelp", "QPlainTextEdit", QString(), {6450, 60, 2415, 4120}, 4);
    row("labSave", "QLabel", QStringLiteral("合并文件保存为："), {120, 4320, 1440, 195}, 15);
    row("txtUnite", "QLineEdit", QString(), {1500, 4290, 6135, 285}, 11);
    row("cmdExit", "QPushButton", QStringLiteral("退出&X"), {7740, 4230, 1050, 390}, 2);
}

void WindowLayoutTest::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    QFETCH(int, tabIndex);
    QFETCH(qreal, points);

    auto* widget = m_fixture->control<QWidget>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    QCOMPARE(widget->font().pointSizeF(), points);
    if (points != 9)
        QCOMPARE(widget->font().family(), QStringLiteral("MS Sans Serif"));
    QVERIFY2(widget->inherits(kind.toLatin1().constData()), widget->metaObject()->className());
    QVERIFY(widget->isVisible());
    QVERIFY(widget->isEnabled());
    QCOMPARE(widget->pos(), QPoint(px(twips.left()), px(twips.top())));

    if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), caption);
        // Labels fit their caption and never take the focus.
        QCOMPARE(label->size(), label->sizeHint());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        return;
    }
    QCOMPARE(widget->size(), QSize(px(twips.width()), px(twips.height())));
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QCOMPARE(button->text(), caption);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
    // Its place in the keyboard order: the controls that come before it in the cycle
    // are exactly those with a smaller tab index (labels have 12, 15 and 16).
    const int labelsBefore = (tabIndex > 12) + (tabIndex > 15);
    QCOMPARE(designTabCycle().indexOf(widget->objectName()), (tabIndex - 1 - labelsBefore + 14) % 14);
}

void WindowLayoutTest::windowFrame()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tamborel"));
    QCOMPARE(m_window->geometry(), QRect(px(2895), px(3915), px(8910), px(4680)));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(!m_window->windowIcon().isNull());
    QCOMPARE(m_window->windowIcon().availableSizes().value(0), QSize(32, 32));

    // Shown again after being left below the screen's edge, it comes back whole.
    m_window->hide();
    m_window->move(px(2895), 2000);
    m_window->show();
    QVERIFY(m_window->screen()->availableGeometry().contains(m_window->frameGeometry()));
}

void WindowLayoutTest::screenFit_data()
{
    QTest::addColumn<QRect>("available"); // in the screen's pixels
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QPoint>("expected"); // the frame's top-left, in logical pixels

    // The frame a window manager puts around the design's client area: a 20-pixel title
    // bar and 1-pixel borders, so it spans (192, 241) to (788, 574) in logical pixels.
    QTest::newRow("100 %, 1920 x 1080, taskbar below: stays")
        << QRect(0, 0, 1920, 1040) << 1.0 << QPoint(192, 241);
    QTest::newRow("125 %, 1366 x 768, panel above: stays")
        << QRect(0, 30, 1366, 738) << 1.25 << QPoint(192, 241);
    QTest::newRow("exactly fits: stays") << QRect(192, 241, 596, 333) << 1.0 << QPoint(192, 241);
    QTest::newRow("150 %, 1366 x 768, taskbar below: up")
        << QRect(0, 0, 1366, 728) << 1.5 << QPoint(192, 152);
    QTest::newRow("200 %, 1920 x 1080: up") << QRect(0, 0, 1920, 1080) << 2.0 << QPoint(192, 207);
    QTest::newRow("taskbar on the left: right") << QRect(200, 0, 824, 768) << 1.0 << QPoint(200, 241);
    QTest::newRow("area ends left of the frame: left") << QRect(0, 0, 700, 768) << 1.0 << QPoint(104, 241);
    QTest::newRow("150 %, 800 x 600: narrower, to its left edge")
        << QRect(0, 0, 800, 600) << 1.5 << QPoint(0, 67);
    QTest::newRow("200 %, 800 x 600: smaller, to its top-left")
        << QRect(0, 0, 800, 600) << 2.0 << QPoint(0, 0);
    QTest::newRow("smaller area beside another screen")
        << QRect(1920, 40, 640, 300) << 1.0 << QPoint(1920, 40);
}

void WindowLayoutTest::screenFit()
{
    QFETCH(QRect, available);
    QFETCH(qreal, scale);
    QFETCH(QPoint, expected);

    const QRect client(px(design::windowLeft), px(design::windowTop), px(design::clientWidth),
                       px(design::clientHeight));
    const QRect frame = client.adjusted(-1, -20, 1, 1);
    const QRect logical((QPointF(available.topLeft()) / scale).toPoint(),
                        (QSizeF(available.size()) / scale).toSize());
    const QPoint fitted = fittedFramePosition(frame, logical);
    QCOMPARE(fitted, expected);
    if (frame.width() <= logical.width() && frame.height() <= logical.height())
        QVERIFY(logical.contains(frame.translated(fitted - frame.topLeft())));
}

QStringList WindowLayoutTest::visitWithKey(int count, Qt::KeyboardModifiers modifiers)
{
    QStringList visited;
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        visited << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    return visited;
}

void WindowLayoutTest::tabCycle()
{
    QCOMPARE(QApplication::focusWidget(), m_fixture->control<QWidget>(QStringLiteral("dirOperate")));
    QCOMPARE(visitWithKey(14, Qt::NoModifier), designTabCycle());

    QStringList backwards = designTabCycle();
    std::reverse(backwards.begin(), backwards.end());
    backwards.removeFirst();
    backwards << QStringLiteral("dirOperate");
    QCOMPARE(visitWithKey(14, Qt::ShiftModifier), backwards);
}

void WindowLayoutTest::accessKeys()
{
    QList<std::shared_ptr<QSignalSpy>> spies;
    for (const QString& name : buttonNames())
        spies << std::make_shared<QSignalSpy>(m_fixture->control<QPushButton>(name),
                                              &QAbstractButton::clicked);
    const auto pressed = [&] {
        QStringList names;
        for (int i = 0; i < spies.size(); ++i)
            if (!spies[i]->isEmpty())
                names << buttonNames()[i];
        return names;
    };

    auto* output = m_fixture->control<QLineEdit>(QStringLiteral("txtUnite"));
    output->setFocus();
    QTest::keyClick(output, Qt::Key_Return);
    QTest::keyClick(output, Qt::Key_Enter);
    QTest::keyClick(output, Qt::Key_Escape);
    for (const QString& letter : {QStringLiteral("A"), QStringLiteral("D"), QStringLiteral("U")})
        QTest::keyClick(output, letter.at(0).toLatin1(), Qt::AltModifier);
    QCOMPARE(m_fixture->endRequests, 0);

    // An access key presses its button with a short animation; any press that the
    // keys before it set off has happened by the time this one shows.
    QTest::keyClick(output, Qt::Key_X, Qt::AltModifier);
    QTRY_COMPARE(m_fixture->endRequests, 1);
    QCOMPARE(pressed(), QStringList{QStringLiteral("cmdExit")});
    QVERIFY(m_fixture->prompter.prompts.isEmpty());
}

void WindowLayoutTest::helpTextIsReadOnlyYetSelectable()
{
    const QStringList lines{
        QStringLiteral("一、功能："),
        QStringLiteral("对批量的文本文件按次序进行合并。"),
        QStringLiteral("二、合并方式："),
        QStringLiteral("1.按文件显示的次序进行合并；"),
        QStringLiteral("2.每个文件之间设置一处空行。"),
        QStringLiteral("3.各文件编码不同时，统一转换为列表中第一个 GBK、UTF-8 或 UTF-16 文件的编码。"),
        QStringLiteral("三、操作步骤："),
        QStringLiteral("1.选择需要合并的文件(这些文件可以在不同的文件夹内)；"),
        QStringLiteral("2.排定待合并文件的先后次序；"),
        QStringLiteral("3.若文件名字过长，无法看全，点击\">>\"即可；"),
        QStringLiteral("4.输入合并后生成文件的路径和名称；"),
        QStringLiteral("5.执行\"合并\"。"),
        QStringLiteral("四、窍门："),
        QStringLiteral(
            "1.添加文件时，如果选择了插入位置，则添加至选择位置之后；如没有选择插入位置，则添加至列表最后；"),
        QStringLiteral("2.选择需要合并的文件时可以进行多选；"),
        QStringLiteral("3.需要合并文件可以在不同的文件夹内。"),
        QStringLiteral("五、注意事项："),
        QStringLiteral("1.一个文件只能参与合并一次。"),
        QStringLiteral("2.无法识别编码的文件不能合并到 UTF-16 文件中。"),
        QStringLiteral("六、软件信息："),
        QStringLiteral("发布者：Tamborel 开发组"),
        QStringLiteral("电子邮件：tamborel@example.org"),
        QStringLiteral("主页：https://www.example.org/tamborel"),
        QStringLiteral("XMPP：tamborel@xmpp.example.org"),
        QStringLiteral("Matrix：#tamborel:example.org"),
    };
    // Each of the 23 lines is ended by CR LF; the box shows them as lines.
    QCOMPARE(texts::helpText(), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    auto* help = m_fixture->control<QPlainTextEdit>(QStringLiteral("txtHelp"));
    const QString before = help->toPlainText();
    QCOMPARE(before, lines.join(u'\n') + u'\n');

    help->setFocus();
    QTest::keyClicks(help, QStringLiteral("abc"));
    QTest::keyClick(help, Qt::Key_Backspace);
    QCOMPARE(help->toPlainText(), before);
    QTest::keyClick(help, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(help->textCursor().selectedText().size(), before.size());
    QCOMPARE(help->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(help->verticalScrollBar()->maximum() > 0);
}

// An entry wider than the merge list is cut off at its right edge: no scroll bar
// lets the list move sideways.
void WindowLayoutTest::longEntryIsCutOff()
{
    auto* list = m_fixture->control<QListView>(QStringLiteral("lstUnite"));
    auto* model = m_window->findChild<MergeListModel*>();
    model->insert(0, NativePath::fromText(QStringLiteral("/") + QString(300, u'x') + QStringLiteral(".txt")));
    list->doItemsLayout();
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    QCOMPARE(list->horizontalScrollBar()->value(), 0);
}

// The version information of the program file, as the build writes it.
void WindowLayoutTest::versionResource_data()
{
    QTest::addColumn<QString>("line");

    for (const char* line :
         {"LANGUAGE 0x04, 0x02", "FILEVERSION 2,2,0,0", "PRODUCTVERSION 2,2,0,0", "BLOCK \"080404B0\"",
          "VALUE \"FileVersion\", \"2.02\"", "VALUE \"ProductVersion\", \"2.02\"",
          "VALUE \"InternalName\", \"Corvalent\"", "VALUE \"OriginalFilename\", \"Corvalent.exe\"",
          "VALUE \"ProductName\", \"Tamborel\"", "VALUE \"CompanyName\", \"Tamborel 开发组\"",
          "VALUE \"Translation\", 0x0804, 0x04B0"})
        QTest::newRow(line) << QString::fromUtf8(line);
}

void WindowLayoutTest::versionResource()
{
    QFETCH(QString, line);
    QFile file(QStringLiteral(TAMBOREL_VERSION_RC));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList lines;
    while (!file.atEnd())
        lines << QString::fromUtf8(file.readLine()).trimmed();
    QVERIFY2(lines.contains(line), qPrintable(line));
}

Q_DECLARE_METATYPE(QAccessible::Role)

// What a screen reader reads for each control: a Chinese name without the arrows of
// the captions, and the control's kind.
void WindowLayoutTest::accessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QAccessible::Role>("role");

    const auto row = [](const char* control, const QString& name, QAccessible::Role role) {
        QTest::newRow(control) << name << role;
    };
    row("driOperate", QStringLiteral("驱动器"), QAccessible::ComboBox);
    row("dirOperate", QStringLiteral("文件夹"), QAccessible::Tree);
    row("filOperate", QStringLiteral("文件"), QAccessible::List);
    row("lstUnite", QStringLiteral("合并列表"), QAccessible::List);
    row("txtUnite", QStringLiteral("合并文件保存为"), QAccessible::EditableText);
    row("txtHelp", QStringLiteral("说明"), QAccessible::EditableText);
    row("labElongate", QStringLiteral("展开合并列表"), QAccessible::Button);
    const QStringList buttons{QStringLiteral("添加"),     QStringLiteral("添加全部"), QStringLiteral("移除"),
                              QStringLiteral("移除全部"), QStringLiteral("上移"),     QStringLiteral("下移"),
                              QStringLiteral("合并"),     QStringLiteral("退出")};
    for (int i = 0; i < buttons.size(); ++i)
        row(buttonNames().at(i).toLatin1().constData(), buttons.at(i), QAccessible::Button);
}

void WindowLayoutTest::accessibleNames()
{
    QFETCH(QString, name);
    QFETCH(QAccessible::Role, role);

    auto* widget = m_fixture->control<QWidget>(QString::fromLatin1(QTest::currentDataTag()));
    QAccessibleInterface* readable = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(readable);
    QCOMPARE(readable->text(QAccessible::Name), name);
    QCOMPARE(readable->role(), role);
}

void WindowLayoutTest::accessibleLabelsAndToggle()
{
    QAccessibleInterface* output =
        QAccessible::queryAccessibleInterface(m_fixture->control<QWidget>(QStringLiteral("txtUnite")));
    const auto labels = output->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->text(QAccessible::Name), QStringLiteral("合并文件保存为："));
    QAccessibleInterface* list =
        QAccessible::queryAccessibleInterface(m_fixture->control<QWidget>(QStringLiteral("lstUnite")));
    QCOMPARE(list->text(QAccessible::Description), QStringLiteral("以下文本文件将按次序进行合并："));
    QAccessibleInterface* drives =
        QAccessible::queryAccessibleInterface(m_fixture->control<QWidget>(QStringLiteral("driOperate")));
    QCOMPARE(drives->text(QAccessible::Value),
             m_fixture->control<QComboBox>(QStringLiteral("driOperate"))->currentText());

    // The ">>" label is pressed as a button, yet takes no keyboard focus.
    auto* label = m_fixture->control<QLabel>(QStringLiteral("labElongate"));
    QAccessibleInterface* toggle = QAccessible::queryAccessibleInterface(label);
    QVERIFY(!toggle->state().focusable);
    QVERIFY(toggle->actionInterface());
    toggle->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(label->text(), QStringLiteral("<<"));
    QCOMPARE(toggle->text(QAccessible::Name), QStringLiteral("还原合并列表"));
    QVERIFY(!m_fixture->control<QWidget>(QStringLiteral("txtHelp"))->isVisible());
}

QTEST_MAIN(WindowLayoutTest)
#include "tst_windowlayout.moc"
