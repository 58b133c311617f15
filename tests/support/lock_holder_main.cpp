// Holds the program lock of the folder given as its argument until its input closes; says "held"
// once it does. Tests use it as the running main program of another process, or, built under the
// utility's name, as the utility working on the folder.
#include "SingleInstance.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: scrivlet_lock_holder <program folder>\n", stderr);
        return 2;
    }
    SingleInstance lock;
    Failure failure;
    const SingleInstance::Result result = lock.acquire(QString::fromLocal8Bit(argv[1]), &failure);
    if (result != SingleInstance::Result::Acquired) {
        std::fprintf(stderr, "not held: %s\n",
                     result == SingleInstance::Result::HeldElsewhere ? "held elsewhere"
                                                                     : failure.reason.toLocal8Bit().constData());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    char c = 0;
    while (std::fread(&c, 1, 1, stdin) == 1) {
    }
    return 0;
}
