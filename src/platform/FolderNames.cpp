#include "FolderNames.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>

bool forEachNameInFolder(const QByteArray& folder, const std::function<void(const char* name)>& onName, int* error)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir) {
        *error = errno;
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            onName(entry->d_name);
    }
    const int readError = errno;
    ::closedir(dir);
    *error = readError;
    return readError == 0;
}
