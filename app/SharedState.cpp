#include "app/SharedState.h"

namespace {
SharedState &instance()
{
    static SharedState state;
    return state;
}
} // namespace

SharedState &shared()
{
    return instance();
}

void resetSharedState()
{
    instance() = SharedState{};
}
