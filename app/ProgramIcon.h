#pragma once

#include <QIcon>

// The program's own icon, which every window of the program shows.
QIcon programIcon();
