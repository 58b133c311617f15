#include "MemoCodecCheck.h"

#include "Cp932.h"

bool memoCodecReady(Failure* failure)
{
    QString reason;
    if (cp932::converterReady(&reason))
        return true;
    if (failure)
        *failure = {QStringLiteral("文字コード%1の変換機能を準備できませんでした。").arg(cp932::name()), QString(),
                    reason, QStringLiteral("メモを正しく読み書きできないため、起動を中止します。")};
    return false;
}
