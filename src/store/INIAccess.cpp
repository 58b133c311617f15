#include "INIAccess.h"

#include "Folders.h"
#include "ProfileFile.h"

#include <utility>

INIAccess::INIAccess(QString programFolder) : programFolder_(std::move(programFolder)) {}

bool INIAccess::prepare(const QString& strSection, QString* section, QString* fullPath)
{
    if (!strSection.isEmpty())
        Section = strSection;
    else if (Section.isEmpty())
        return false;
    *section = Section;
    *fullPath = EnsureBackslash(programFolder_) + FileName;
    return !FileName.isEmpty();
}

QString INIAccess::GetINIData(const QString& strSection, const QString& strKey, QString* error)
{
    if (error)
        error->clear();
    QString section;
    QString fullPath;
    if (!prepare(strSection, &section, &fullPath))
        return QString();
    return profile::readValue(fullPath, section, strKey, error);
}

bool INIAccess::SetINIData(const QString& strSection, const QString& strKey, const QString& strData, QString* error)
{
    if (error)
        error->clear();
    QString section;
    QString fullPath;
    if (!prepare(strSection, &section, &fullPath))
        return false;
    return profile::writeValue(fullPath, section, strKey, strData, error);
}
