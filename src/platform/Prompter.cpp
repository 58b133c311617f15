#include "Prompter.h"

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

void setPrompter(Prompter* p)
{
    installed() = p;
}
