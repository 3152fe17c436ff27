#include "app/BoxPrompter.h"
#include "app/ChineseTranslations.h"
#include "merge/MergeTexts.h"
#include "support/WindowFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cerrno>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(BoxStyle)
Q_DECLARE_METATYPE(BoxAnswer)

// Every text the user meets is Chinese, Qt's own included, whatever the system's
// locale; the real message boxes answer as the prompts mean.
class ChineseTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void boxes_data();
    void boxes();
    void textBoxMenus();
    void failureReasons_data();
    void failureReasons();

private:
    std::unique_ptr<ChineseTranslations> m_chinese;
};

void ChineseTest::initTestCase()
{
    // Not a Chinese system: the texts must not depend on it.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_chinese = std::make_unique<ChineseTranslations>();
}

void ChineseTest::cleanupTestCase()
{
    m_chinese.reset();
}

void ChineseTest::boxes_data()
{
    QTest::addColumn<BoxStyle>("style");
    QTest::addColumn<QStringList>("buttons"); // in the order shown
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<int>("clicked"); // index into buttons, -1: closed without a click
    QTest::addColumn<BoxAnswer>("answer");

    const QStringList yesNo{u"是(&Y)"_s, u"否(&N)"_s};
    QTest::newRow("question, Yes") << BoxStyle::Question << yesNo << u"否(&N)"_s << 0 << BoxAnswer::Yes;
    QTest::newRow("question, No") << BoxStyle::Question << yesNo << u"否(&N)"_s << 1 << BoxAnswer::No;
    QTest::newRow("question closed") << BoxStyle::Question << yesNo << u"否(&N)"_s << -1 << BoxAnswer::No;
    QTest::newRow("information") << BoxStyle::Information << QStringList{u"确定"_s} << QString() << 0
                                 << BoxAnswer::Ok;
}

// The boxes are built and answered as the user would answer them, without running
// a modal loop.
void ChineseTest::boxes()
{
    QFETCH(BoxStyle, style);
    QFETCH(QStringList, buttons);
    QFETCH(QString, defaultButton);
    QFETCH(int, clicked);
    QFETCH(BoxAnswer, answer);

    const std::unique_ptr<QMessageBox> box = BoxPrompter::makeBox(u"提示"_s, style);
    QCOMPARE(box->windowTitle(), u"Tamborel"_s);
    QCOMPARE(box->text(), u"提示"_s);
    QCOMPARE(box->icon(), style == BoxStyle::Question ? QMessageBox::Question : QMessageBox::Information);
    QStringList shown;
    const QList<QAbstractButton*> boxButtons = box->buttons();
    for (const QAbstractButton* button : boxButtons)
        shown << button->text();
    shown.sort();
    QStringList expected = buttons;
    expected.sort();
    QCOMPARE(shown, expected);
    if (!defaultButton.isEmpty()) {
        QCOMPARE(box->defaultButton()->text(), defaultButton);
        QCOMPARE(box->escapeButton()->text(), defaultButton);
    }

    if (clicked >= 0) {
        const auto match = [&](QAbstractButton* b) { return b->text() == buttons.at(clicked); };
        const auto button = std::find_if(boxButtons.cbegin(), boxButtons.cend(), match);
        QVERIFY(button != boxButtons.cend());
        (*button)->click();
    }
    QCOMPARE(BoxPrompter::answerOf(*box), answer);
}

void ChineseTest::textBoxMenus()
{
    WindowFixture fixture;
    fixture.start(fixture.folder(u"C"_s), fixture.folder(u"C"_s));
    const auto texts = [](QMenu* menu) {
        QStringList result;
        const QList<QAction*> actions = menu->actions();
        for (const QAction* action : actions)
            if (!action->isSeparator())
                result << action->text().section(u'\t', 0, 0);
        delete menu;
        return result;
    };

    QCOMPARE(texts(fixture.control<QLineEdit>(u"txtUnite"_s)->createStandardContextMenu()),
             (QStringList{u"撤销(&U)"_s, u"重做(&R)"_s, u"剪切(&T)"_s, u"复制(&C)"_s, u"粘贴(&P)"_s,
                          u"删除"_s, u"全选"_s}));
    QCOMPARE(texts(fixture.control<QPlainTextEdit>(u"txtHelp"_s)->createStandardContextMenu()),
             (QStringList{u"复制(&C)"_s, u"全选"_s}));
}

void ChineseTest::failureReasons_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");

#ifdef Q_OS_UNIX
    QTest::newRow("not found") << ENOENT << u"文件或文件夹不存在"_s;
    QTest::newRow("permission denied") << EACCES << u"没有访问权限"_s;
    QTest::newRow("operation not permitted") << EPERM << u"没有访问权限"_s;
    QTest::newRow("disk full") << ENOSPC << u"磁盘空间不足"_s;
    QTest::newRow("quota") << EDQUOT << u"超出磁盘配额"_s;
    QTest::newRow("read-only") << EROFS << u"磁盘为只读"_s;
    QTest::newRow("file too large") << EFBIG << u"文件太大"_s;
    QTest::newRow("name too long") << ENAMETOOLONG << u"文件名太长"_s;
    QTest::newRow("I/O error") << EIO << u"磁盘读写错误"_s;
    QTest::newRow("is a folder") << EISDIR << u"这是一个文件夹"_s;
    QTest::newRow("not a folder") << ENOTDIR << u"路径中有一部分不是文件夹"_s;
    QTest::newRow("out of memory") << ENOMEM << u"内存不足"_s;
    QTest::newRow("any other") << ELOOP << qt_error_string(ELOOP) + u"，错误代码 "_s + QString::number(ELOOP);
#else
    // GetLastError() codes, by number as the system documents them.
    QTest::newRow("file not found") << 2 << u"文件或文件夹不存在"_s;
    QTest::newRow("path not found") << 3 << u"文件或文件夹不存在"_s;
    QTest::newRow("access denied") << 5 << u"没有访问权限"_s;
    QTest::newRow("disk full") << 112 << u"磁盘空间不足"_s;
    QTest::newRow("handle disk full") << 39 << u"磁盘空间不足"_s;
    QTest::newRow("quota") << 1295 << u"超出磁盘配额"_s;
    QTest::newRow("write-protected") << 19 << u"磁盘为只读"_s;
    QTest::newRow("file too large") << 223 << u"文件太大"_s;
    QTest::newRow("name too long") << 206 << u"文件名太长"_s;
    QTest::newRow("data error (CRC)") << 23 << u"磁盘读写错误"_s;
    QTest::newRow("device I/O error") << 1117 << u"磁盘读写错误"_s;
    QTest::newRow("read fault") << 30 << u"磁盘读写错误"_s;
    QTest::newRow("write fault") << 29 << u"磁盘读写错误"_s;
    QTest::newRow("is a folder") << 267 << u"这是一个文件夹"_s;
    QTest::newRow("not enough memory") << 8 << u"内存不足"_s;
    QTest::newRow("out of memory") << 14 << u"内存不足"_s;
    QTest::newRow("sharing violation") << 32 << qt_error_string(32) + u"，错误代码 32"_s;
#endif
}

void ChineseTest::failureReasons()
{
    QFETCH(int, error);
    QFETCH(QString, reason);
    QCOMPARE(mergetexts::reason(error), reason);
}

QTEST_MAIN(ChineseTest)
#include "tst_chinese.moc"
