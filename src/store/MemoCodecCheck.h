#pragma once

#include "Failure.h"

// Both programs refuse to start when memos could not be read and written faithfully (no CP932
// converter on the system): only ASCII would survive a read or a save. False with *failure then.
[[nodiscard]] bool memoCodecReady(Failure* failure);
