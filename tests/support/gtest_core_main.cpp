#include "TestHome.h"

#include <QCoreApplication>
#include <cstdio>
#include <gtest/gtest.h>

// Tests of the libraries without windows need only Qt Core.
int main(int argc, char** argv)
{
    const TestHome home;
    if (!home.ok()) {
        std::fprintf(stderr, "cannot create a temporary home folder\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
