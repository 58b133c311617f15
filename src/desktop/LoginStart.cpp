#include "LoginStart.h"

#include "FileError.h"
#include "RemoveFile.h"
#include "SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <cerrno>

namespace {

QString entryFileName()
{
    return QStringLiteral("scrivlet.desktop");
}

// The string-value escapes every key of a desktop entry uses.
QString unescapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        default:
            out += next;
            break;
        }
    }
    return out;
}

QString escapeValue(const QString& value)
{
    QString out = value;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    out.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    out.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return out;
}

// The keys of the [Desktop Entry] group, as written.
QHash<QString, QString> readEntry(const QString& path)
{
    QHash<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return keys;
    bool inMainGroup = false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || line.startsWith(QLatin1Char('#')) || eq <= 0)
            continue;
        keys.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return keys;
}

} // namespace

QString loginStartEntryPath()
{
    // Qt answers $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart/") +
           entryFileName();
}

QString execProgram(const QString& execValue)
{
    const QString exec = unescapeValue(execValue).trimmed();
    QString program;
    if (exec.startsWith(QLatin1Char('"'))) {
        for (qsizetype i = 1; i < exec.size(); ++i) {
            const QChar c = exec.at(i);
            if (c == QLatin1Char('"'))
                break;
            if (c == QLatin1Char('\\') && i + 1 < exec.size())
                program += exec.at(++i);
            else
                program += c;
        }
    } else {
        program = exec.section(QLatin1Char(' '), 0, 0);
    }
    program.replace(QLatin1String("%%"), QLatin1String("%"));
    return program;
}

QString execValueFor(const QString& executable)
{
    // Always quoted: a folder name may hold any of the characters that would need it.
    QString quoted;
    for (const QChar c : executable) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return escapeValue(QLatin1Char('"') + quoted + QLatin1Char('"'));
}

bool startsAtLogin(const QString& executable)
{
    const QString path = loginStartEntryPath();
    if (!QFileInfo(path).isFile())
        return false;
    const QHash<QString, QString> keys = readEntry(path);
    if (keys.value(QStringLiteral("Hidden")) == QLatin1String("true") ||
        keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) == QLatin1String("false"))
        return false;
    const QString program = execProgram(keys.value(QStringLiteral("Exec")));
    return !program.isEmpty() && QFileInfo(program).absoluteFilePath() == QFileInfo(executable).absoluteFilePath();
}

bool setStartAtLogin(bool start, const QString& executable, Failure* failure)
{
    const QString path = loginStartEntryPath();
    const QFileInfo entry(path);
    const QString what = start ? QStringLiteral("ログイン時に起動するよう設定できませんでした。")
                               : QStringLiteral("ログイン時の起動を取り消せませんでした。");
    auto fail = [&](const QString& reason) {
        if (failure)
            *failure = {what, QDir::toNativeSeparators(path), reason, QString()};
        return false;
    };
    if (!start) {
        if (!entry.exists() && !entry.isSymLink())
            return true;
        if (entry.isDir())
            return fail(fileErrorReason(EISDIR));
        QString reason;
        return removeFile(path, &reason) || fail(reason);
    }

    const QString folder = entry.absolutePath();
    const QFileInfo folderInfo(folder);
    if (folderInfo.exists() && !folderInfo.isDir())
        return fail(fileErrorReason(ENOTDIR));
    errno = 0;
    if (!QDir().mkpath(folder))
        return fail(fileErrorReason(errno ? errno : EACCES));
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Zormet Scrivlet\n"
                                        "Name[ja]=スクリブレット\n"
                                        "Comment=Scratch memo pad in the notification area\n"
                                        "Comment[ja]=通知領域に常駐する走り書きメモ帳\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execValueFor(executable));
    QString reason;
    return writeWholeFile(path, text.toUtf8(), &reason) || fail(reason);
}
