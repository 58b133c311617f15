#include "EnvironmentForTesting.h"

#include <QtGlobal>

namespace {

void put(const char* name, const std::optional<QByteArray>& value)
{
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

} // namespace

EnvironmentForTesting::EnvironmentForTesting(const char* name, std::optional<QByteArray> value) : name_(name)
{
    if (qEnvironmentVariableIsSet(name))
        previous_ = qgetenv(name);
    put(name_, value);
}

EnvironmentForTesting::~EnvironmentForTesting()
{
    put(name_, previous_);
}
