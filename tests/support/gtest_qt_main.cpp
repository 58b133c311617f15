#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test binary runs with a real QApplication, headless unless told otherwise.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // What the program keeps in the user's state folder (copies of unsaved edits) goes to a throwaway one.
    QTemporaryDir state;
    if (!state.isValid())
        return 1;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
