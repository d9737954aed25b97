#include "platform/system/ProcessLimits.h"

#include <algorithm>
#include <sched.h>
#include <sys/resource.h>

namespace ProcessLimits {

int usableCores()
{
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (::sched_getaffinity(0, sizeof(cores), &cores) != 0)
        return 1;
    return std::max(1, CPU_COUNT(&cores));
}

qint64 openFiles()
{
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    return qint64(limit.rlim_cur);
}

} // namespace ProcessLimits
