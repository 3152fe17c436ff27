#include "merge/MergeTexts.h"

namespace mergetexts {

namespace {

QString withReason(const QString& what, const QString& reason)
{
    const QString because = reason.isEmpty() ? QString() : QStringLiteral("（%1）").arg(reason);
    return what + because + QStringLiteral("，未生成合并文件！");
}

} // namespace

QString emptyList()
{
    return QStringLiteral("合并框内没有文件！");
}

QString badName()
{
    return QStringLiteral("合并文件的名称或路径错误!");
}

QString alreadyExists(const QString& outputName)
{
    return outputName + QStringLiteral(" 已存在，重新输入合并文件名！");
}

QString createFolder(const QString& folderWithSeparator)
{
    return folderWithSeparator + QStringLiteral(" 文件夹不存在，是否创建？");
}

QString merged(const QString& outputName)
{
    return QStringLiteral("所选文件已成功合并，并保存为 ") + outputName + QStringLiteral("！");
}

QString cannotCreate(const MergeResult& result)
{
    return withReason(result.path + QStringLiteral(" 无法创建"), result.reason);
}

QString failed(const MergeResult& result)
{
    switch (result.status) {
    case MergeStatus::InputFailed:
        return withReason(result.path + QStringLiteral(" 读取失败"), result.reason);
    case MergeStatus::InputNotAFile:
        return withReason(result.path + QStringLiteral(" 不是普通文件，无法读取"), result.reason);
    case MergeStatus::FolderFailed:
        return withReason(result.path + QStringLiteral(" 文件夹创建失败"), result.reason);
    case MergeStatus::AlreadyExists:
        return alreadyExists(result.path);
    case MergeStatus::Ok:
    case MergeStatus::FolderMissing:
    case MergeStatus::OutputFailed:
        break;
    }
    return withReason(result.path + QStringLiteral(" 写入失败"), result.reason);
}

} // namespace mergetexts
