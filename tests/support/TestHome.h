#pragma once

#include <QTemporaryDir>

// A home and data folders of the test program's own for its lifetime, so that nothing a test does
// can reach the user's memos. ok() is false when the folder could not be made.
class TestHome final
{
public:
    TestHome();
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    bool ok() const { return home_.isValid(); }

private:
    QTemporaryDir home_;
};
