// SIGTERM, SIGINT and SIGHUP end the window's event loop as the Quit entry does, so that the
// recording gets its last lines and the sound device is closed.
#pragma once

class QObject;

// Once, after the application object exists; the loop ends with 128 + the signal's number.
void QuitOnSignals(QObject* parent);
