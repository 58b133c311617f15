#include "TestHome.h"

#include <QFile>

TestHome::TestHome()
{
    if (!home_.isValid())
        return;
    const QByteArray root = QFile::encodeName(home_.path());
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", root + "/.local/share");
    qputenv("XDG_CONFIG_HOME", root + "/.config");
    qputenv("XDG_CACHE_HOME", root + "/.cache");
    qputenv("XDG_STATE_HOME", root + "/.local/state");
}
