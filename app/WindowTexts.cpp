#include "app/WindowTexts.h"

#include "app/AppInfo.h"

#include <QHash>
#include <QStringList>

namespace texts {

QString caption(const QString& controlName)
{
    static const QHash<QString, QString> captions{
        {QStringLiteral("cmdAdd"), QStringLiteral("添加>")},
        {QStringLiteral("cmdAddAll"), QStringLiteral("添加全部>>")},
        {QStringLiteral("cmdDel"), QStringLiteral("移除<")},
        {QStringLiteral("cmdDelAll"), QStringLiteral("移除全部<<")},
        {QStringLiteral("cmdUp"), QStringLiteral("上移^")},
        {QStringLiteral("cmdDown"), QStringLiteral("下移v")},
        {QStringLiteral("cmdUnite"), QStringLiteral("合并<>")},
        {QStringLiteral("cmdExit"), QStringLiteral("退出&X")},
        {QStringLiteral("labUnite"), QStringLiteral("以下文本文件将按次序进行合并：")},
        {QStringLiteral("labElongate"), QStringLiteral(">>")},
        {QStringLiteral("labSave"), QStringLiteral("合并文件保存为：")},
    };
    return captions.value(controlName);
}

QString accessibleName(const QString& controlName)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("driOperate"), QStringLiteral("驱动器")},
        {QStringLiteral("dirOperate"), QStringLiteral("文件夹")},
        {QStringLiteral("filOperate"), QStringLiteral("文件")},
        {QStringLiteral("lstUnite"), QStringLiteral("合并列表")},
        {QStringLiteral("txtUnite"), QStringLiteral("合并文件保存为")},
        {QStringLiteral("txtHelp"), QStringLiteral("说明")},
        {QStringLiteral("cmdAdd"), QStringLiteral("添加")},
        {QStringLiteral("cmdAddAll"), QStringLiteral("添加全部")},
        {QStringLiteral("cmdDel"), QStringLiteral("移除")},
        {QStringLiteral("cmdDelAll"), QStringLiteral("移除全部")},
        {QStringLiteral("cmdUp"), QStringLiteral("上移")},
        {QStringLiteral("cmdDown"), QStringLiteral("下移")},
        {QStringLiteral("cmdUnite"), QStringLiteral("合并")},
        {QStringLiteral("cmdExit"), QStringLiteral("退出")},
    };
    return names.value(controlName);
}

QString longNameToggle(bool widened)
{
    return widened ? QStringLiteral("还原合并列表") : QStringLiteral("展开合并列表");
}

QString helpText()
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
        QStringLiteral("发布者：") + publisher(),
        QStringLiteral("电子邮件：") + publisherEmail(),
        QStringLiteral("主页：") + homepage(),
        QStringLiteral("XMPP：") + xmppAddress(),
        QStringLiteral("Matrix：") + matrixRoom(),
    };
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace texts
