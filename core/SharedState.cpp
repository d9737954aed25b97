#include "core/SharedState.h"

#include "platform/system/Singleton.h"

SharedState &shared()
{
    return Singleton<SharedState>::instance();
}

void resetSharedState()
{
    Singleton<SharedState>::reset();
}
