#pragma once

#include "Prompter.h"

// The prompter in use: the real boxes unless a test has installed its own.
Prompter& prompter();

// Tests and benchmarks: while one lives, every box goes to `stand` (not owned) instead of the real ones.
class ScopedPrompter final
{
public:
    explicit ScopedPrompter(Prompter& stand);
    ~ScopedPrompter();
    ScopedPrompter(const ScopedPrompter&) = delete;
    ScopedPrompter& operator=(const ScopedPrompter&) = delete;

private:
    Prompter* previous_;
};
