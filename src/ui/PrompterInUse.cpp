#include "PrompterInUse.h"

#include "QtPrompter.h"

namespace {
Prompter*& installed()
{
    static Prompter* p = nullptr;
    return p;
}
} // namespace

Prompter& prompter()
{
    static QtPrompter real;
    Prompter* p = installed();
    return p ? *p : real;
}

ScopedPrompter::ScopedPrompter(Prompter& stand) : previous_(installed())
{
    installed() = &stand;
}

ScopedPrompter::~ScopedPrompter()
{
    installed() = previous_;
}
