#include "FreeNumberSearch.h"

#include "FileLookup.h"
#include "MemoNaming.h"
#include "Prompter.h"

std::optional<int> chooseFreeNumber(const QString& programFolder, Prompter& prompter)
{
    for (int n = memo::FirstNumber; n <= memo::LastNumber; ++n) {
        if (isOrdinaryFile(memo::memoFilePath(programFolder, n)))
            continue;
        const QString text = QStringLiteral("空きファイル番号「%1」が見つかりました。\nジャンプしますか？")
                                 .arg(n, 4, 10, QLatin1Char('0'));
        switch (prompter.message(text, QStringLiteral("空きファイルが見つかりました"), Prompter::Icon::Question,
                                 Prompter::Buttons::YesNoCancel, Prompter::Answer::Yes)) {
        case Prompter::Answer::Yes:
            return n;
        case Prompter::Answer::Cancel:
            return std::nullopt;
        default:
            break;
        }
    }
    prompter.inform(QStringLiteral("もう空きファイルがないか、全て検索されました。"), QStringLiteral("完了"),
                    Prompter::Icon::Information);
    return std::nullopt;
}

std::optional<int> lowestFreeNumber(const QString& programFolder)
{
    for (int n = memo::FirstNumber; n <= memo::LastNumber; ++n) {
        if (!isOrdinaryFile(memo::memoFilePath(programFolder, n)))
            return n;
    }
    return std::nullopt;
}
