#pragma once

#include "ProgramFolder.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A throwaway portable program folder for one test: the executable's folder and the program folder
// for its lifetime.
class TempProgramFolder
{
public:
    TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    // The folder with its trailing separator, as the program sees it.
    QString path() const;
    QString memoFolder() const;
    QString memoPath(int number) const;
    QString settingsPath() const;

    // Creates files/ (if missing) and writes the raw bytes of memo n.
    void writeMemo(int number, const QByteArray& bytes) const;
    QByteArray readMemo(int number) const;
    bool memoExists(int number) const;
    void writeSettings(const QByteArray& bytes) const;
    QByteArray readSettings() const;

    static void writeBytes(const QString& path, const QByteArray& bytes);
    static QByteArray readBytes(const QString& path);

private:
    QTemporaryDir dir_;
    ScopedProgramFolder installed_;
};
