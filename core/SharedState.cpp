#include "core/SharedState.h"

#include "platform/Singleton.h"

SharedState &shared()
{
    return Singleton<SharedState>::instance();
}

void resetSharedState()
{
    Singleton<SharedState>::reset();
}
