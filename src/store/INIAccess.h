#pragma once

#include <QString>

// One value at a time from the settings file in the program folder. Nothing is cached: each read
// consults the file and each write goes to it at once.
class INIAccess
{
public:
    explicit INIAccess(QString programFolder);

    QString FileName; // bare name, such as "Scrivlet.ini"; always joined to the program folder
    QString Section;  // the section of the last call that named one

    // The value, or "" when there is none. A file that cannot be read gives "" and sets *error.
    [[nodiscard]] QString GetINIData(const QString& strSection, const QString& strKey, QString* error = nullptr);
    // True when the value was written; on false *error says why (it stays empty when the call had
    // no section or file name to work with).
    [[nodiscard]] bool SetINIData(const QString& strSection, const QString& strKey, const QString& strData,
                                  QString* error = nullptr);

private:
    // Both calls start alike: the section to use and the full path, or false to stop at once.
    [[nodiscard]] bool prepare(const QString& strSection, QString* section, QString* fullPath);

    QString programFolder_;
};
