#include "files/FileEvents.h"

FileEvents &FileEvents::instance()
{
    static FileEvents events;
    return events;
}
