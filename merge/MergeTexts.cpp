#include "merge/MergeTexts.h"

#include "merge/SystemError.h"

namespace mergetexts {

namespace {

QString withReason(const QString& what, int error)
{
    const QString because = error == 0 ? QString() : QStringLiteral("（%1）").arg(reason(error));
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

QString cannotCheck(const QString& outputName, int error)
{
    return withReason(QStringLiteral("无法确认 ") + outputName + QStringLiteral(" 是否已存在"), error);
}

QString cannotCreate(const MergeResult& result)
{
    return withReason(result.path.display() + QStringLiteral(" 无法创建"), result.error);
}

QString failed(const MergeResult& result)
{
    const QString path = result.path.display();
    switch (result.status) {
    case MergeStatus::InputFailed:
        return withReason(path + QStringLiteral(" 读取失败"), result.error);
    case MergeStatus::InputNotAFile:
        return withReason(path + QStringLiteral(" 不是普通文件，无法读取"), result.error);
    case MergeStatus::FolderFailed:
        return withReason(path + QStringLiteral(" 文件夹创建失败"), result.error);
    case MergeStatus::AlreadyExists:
        return alreadyExists(path);
    case MergeStatus::Ok:
    case MergeStatus::FolderMissing:
    case MergeStatus::OutputFailed:
        break;
    }
    return withReason(path + QStringLiteral(" 写入失败"), result.error);
}

QString reason(int error)
{
    switch (errorKind(error)) {
    case ErrorKind::None:
        return {};
    case ErrorKind::NotFound:
        return QStringLiteral("文件或文件夹不存在");
    case ErrorKind::PermissionDenied:
        return QStringLiteral("没有访问权限");
    case ErrorKind::DiskFull:
        return QStringLiteral("磁盘空间不足");
    case ErrorKind::QuotaExceeded:
        return QStringLiteral("超出磁盘配额");
    case ErrorKind::ReadOnlyFileSystem:
        return QStringLiteral("磁盘为只读");
    case ErrorKind::FileTooLarge:
        return QStringLiteral("文件太大");
    case ErrorKind::NameTooLong:
        return QStringLiteral("文件名太长");
    case ErrorKind::InputOutput:
        return QStringLiteral("磁盘读写错误");
    case ErrorKind::IsFolder:
        return QStringLiteral("这是一个文件夹");
    case ErrorKind::NotAFolder:
        return QStringLiteral("路径中有一部分不是文件夹");
    case ErrorKind::Other:
        break;
    }
    return QStringLiteral("%1，错误代码 %2").arg(systemErrorText(error)).arg(error);
}

} // namespace mergetexts
