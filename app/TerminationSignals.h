#pragma once

class QCoreApplication;

// A termination request (SIGTERM, SIGINT, SIGHUP: logout, kill, a closed terminal)
// ends the program the way "Konec" does, so the configuration is saved. Dialogs open
// at that moment are closed first and no further one is shown.
void endOnTerminationSignals(QCoreApplication &app);
