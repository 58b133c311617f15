#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test binary runs with a real QApplication, headless unless told otherwise.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing a test runs touches the user's own folders: what the program keeps in the state folder
    // (copies of unsaved edits), and whatever Qt may keep, goes to throwaway ones.
    QTemporaryDir user;
    if (!user.isValid())
        return 1;
    for (const char* name : {"XDG_STATE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, QFile::encodeName(user.filePath(QString::fromLatin1(name))));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
