#pragma once

#include "platform/system/ErrorState.h"

#include <functional>

// The error number a step raised; 0 when it ran to its end.
inline int raised(const std::function<void()> &step)
{
    try {
        step();
    } catch (const RuntimeError &error) {
        return error.number();
    }
    return 0;
}
