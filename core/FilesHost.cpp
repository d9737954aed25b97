#include "core/FilesHost.h"

namespace {
FilesHost *&host()
{
    static FilesHost *current = nullptr;
    return current;
}
} // namespace

FilesHost *FilesHost::current()
{
    return host();
}

FilesHost::FilesHost()
{
    host() = this;
}

FilesHost::~FilesHost()
{
    if (host() == this)
        host() = nullptr;
}

void FilesHost::chooseFolder(const QString &, QWidget *)
{
}
