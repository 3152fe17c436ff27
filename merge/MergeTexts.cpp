#include "merge/MergeTexts.h"

#include "merge/ConversionText.h"
#include "merge/result/SystemError.h"

namespace mergetexts {

namespace {

QString withReason(const QString& what, int error)
{
    const QString because = error == 0 ? QString() : QStringLiteral("（%1）").arg(reason(error));
    return what + because + QStringLiteral("，未生成合并文件！");
}

QString alreadyExists(const QString& outputName)
{
    return outputName + QStringLiteral(" 已存在，重新输入合并文件名！");
}

// A failure after the checks: names the file or folder and the reason, and says
// that no merged file was written.
QString failed(const MergeResult& result)
{
    const QString path = result.path.display();
    switch (result.status) {
    case MergeStatus::InputFailed:
        return withReason(path + QStringLiteral(" 读取失败"), result.error);
    case MergeStatus::InputNotAFile:
        return withReason(path + QStringLiteral(" 不是普通文件，无法读取"), result.error);
    case MergeStatus::InputIsOutput:
        return withReason(path + QStringLiteral(" 就是正在写入的合并文件，无法读取"), result.error);
    case MergeStatus::EncodingUnknown:
        return withReason(path + QStringLiteral(" 的编码无法识别，不能转换为 UTF-16"), result.error);
    case MergeStatus::CannotConvert:
        return withReason(path + QStringLiteral(" 中有字符无法转换为合并文件的编码"), result.error);
    case MergeStatus::InputChanged:
        return withReason(path + QStringLiteral(" 不是有效的文本，或在合并过程中被修改"), result.error);
    case MergeStatus::FolderFailed:
        return withReason(path + QStringLiteral(" 文件夹创建失败"), result.error);
    case MergeStatus::OutputNotCreated:
        return withReason(path + QStringLiteral(" 无法创建"), result.error);
    default:
        return withReason(path + QStringLiteral(" 写入失败"), result.error);
    }
}

// The merge's sentence, then what was converted, if anything.
QString succeeded(const MergeReport& result, const QString& outputName)
{
    const QString merged =
        QStringLiteral("所选文件已成功合并，并保存为 ") + outputName + QStringLiteral("！");
    const QString converted = conversionText(result.converted);
    return converted.isEmpty() ? merged : merged + u'\n' + converted;
}

} // namespace

QString emptyList()
{
    return QStringLiteral("合并框内没有文件！");
}

QString createFolder(const QString& folderWithSeparator)
{
    return folderWithSeparator + QStringLiteral(" 文件夹不存在，是否创建？");
}

QString report(const MergeReport& result, const QString& outputName)
{
    switch (result.status) {
    case MergeStatus::Ok:
        return succeeded(result, outputName);
    case MergeStatus::FolderMissing:
    case MergeStatus::Cancelled:
        return {};
    case MergeStatus::BadName:
        return QStringLiteral("合并文件的名称或路径错误!");
    case MergeStatus::CannotCheck:
        return withReason(QStringLiteral("无法确认 ") + outputName + QStringLiteral(" 是否已存在"),
                          result.error);
    case MergeStatus::AlreadyExists:
        return alreadyExists(outputName);
    default:
        return failed(result);
    }
}

QString cancelled()
{
    return QStringLiteral("已取消合并，未生成合并文件！");
}

QString progressCaption()
{
    return QStringLiteral("正在合并");
}

QString progressBar()
{
    return QStringLiteral("合并进度");
}

QString cancelButton()
{
    return QStringLiteral("取消");
}

QString publishing()
{
    return QStringLiteral("正在写入磁盘……");
}

QString checking()
{
    return QStringLiteral("正在检查保存位置……");
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
    case ErrorKind::OutOfMemory:
        return QStringLiteral("内存不足");
    case ErrorKind::Other:
        break;
    }
    return QStringLiteral("%1，错误代码 %2").arg(systemErrorText(error)).arg(error);
}

} // namespace mergetexts
