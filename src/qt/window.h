// The Qt window "OpenGL demo" around the front end.
#pragma once

#include "app/options.h"

// Opens the window and runs the event loop; returns the exit status.
int RunWindow(int argc, char** argv, const WindowOptions& options);
