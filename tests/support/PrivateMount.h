#pragma once

#include <QString>

// A file system mounted over a test's own folder, in a mount namespace private to the test process:
// nothing outside the process sees it, the destructor unmounts it, and the end of the process would.
// Mounting needs root (or CAP_SYS_ADMIN); where it is refused, ok() is false and whyNot() says why,
// for GTEST_SKIP.
class PrivateMount
{
public:
    // A tmpfs of at most `bytes` (rounded up to pages) and `inodes` files and folders, its root included.
    PrivateMount(const QString& folder, qint64 bytes, int inodes);
    // The folder itself again, read-only.
    explicit PrivateMount(const QString& folder);
    ~PrivateMount();
    PrivateMount(const PrivateMount&) = delete;
    PrivateMount& operator=(const PrivateMount&) = delete;

    bool ok() const { return mounted_ && whyNot_.isEmpty(); }
    QString whyNot() const { return whyNot_; }

private:
    QString folder_;
    bool mounted_ = false;
    QString whyNot_;
};
