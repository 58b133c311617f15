#pragma once

#include <QByteArray>
#include <optional>

// One environment variable set (or, given no value, removed) for a test's lifetime, then restored.
class EnvironmentForTesting final
{
public:
    EnvironmentForTesting(const char* name, std::optional<QByteArray> value);
    ~EnvironmentForTesting();
    EnvironmentForTesting(const EnvironmentForTesting&) = delete;
    EnvironmentForTesting& operator=(const EnvironmentForTesting&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> previous_;
};
