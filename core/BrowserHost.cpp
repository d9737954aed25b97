#include "core/BrowserHost.h"

namespace {
BrowserHost *&host()
{
    static BrowserHost *current = nullptr;
    return current;
}
} // namespace

BrowserHost *BrowserHost::current()
{
    return host();
}

BrowserHost::BrowserHost()
{
    host() = this;
}

BrowserHost::~BrowserHost()
{
    if (host() == this)
        host() = nullptr;
}
