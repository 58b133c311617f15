#include "TestHome.h"

#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

// Window tests run with a real QApplication, headless unless told otherwise.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const TestHome home;
    if (!home.ok()) {
        std::fprintf(stderr, "cannot create a temporary home folder\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
