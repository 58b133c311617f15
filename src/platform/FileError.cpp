#include "FileError.h"

#include <QFileDevice>
#include <cerrno>
#include <cstring>

QString fileErrorReason(int systemError, const QFileDevice* device)
{
    QString reason;
    switch (systemError) {
    case ENOENT:
        reason = QStringLiteral("ファイルまたはフォルダが見つかりません");
        break;
    case EACCES:
    case EPERM:
        reason = QStringLiteral("アクセスが拒否されました");
        break;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        reason = QStringLiteral("ディスクの空き容量が足りません");
        break;
    case EROFS:
        reason = QStringLiteral("書き込みできない場所です");
        break;
    case EISDIR:
        reason = QStringLiteral("同じ名前のフォルダがあります");
        break;
    case ENOTDIR:
        reason = QStringLiteral("パスの途中にフォルダでないものがあります");
        break;
    case EBUSY:
    case ETXTBSY:
        reason = QStringLiteral("ファイルが使用中です");
        break;
    case EEXIST:
        reason = QStringLiteral("同じ名前のファイルがすでにあります");
        break;
    case EIO:
        reason = QStringLiteral("読み書き中に入出力エラーが起きました");
        break;
    default:
        reason = QStringLiteral("読み書きできませんでした");
        break;
    }
    QString detail = device ? device->errorString() : QString();
    if (detail.isEmpty() || detail == QLatin1String("Unknown error"))
        detail = systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError)) : QString();
    return detail.isEmpty() ? reason : reason + QStringLiteral("（") + detail + QStringLiteral("）");
}
