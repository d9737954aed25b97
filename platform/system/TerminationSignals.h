#pragma once

#include <functional>

class QCoreApplication;

// Runs then on the event loop whenever the process gets a termination request
// (SIGTERM, SIGINT, SIGHUP: logout, kill, a closed terminal). Set up once.
void onTerminationSignals(QCoreApplication &app, const std::function<void()> &then);
