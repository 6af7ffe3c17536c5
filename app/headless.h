// The console loop that keeps the program playing without a window.
#pragma once

// About 60 passes a second until ESC arrives on the console or its input ends; each pass steps
// the remote controller and accepts at most one remote client.
void headless_loop();

// `tessaro --headless PATCH`: start-up, the master path, the console loop, shutdown.
// argv[1] is the patch path. Returns the process status.
int run_headless(int argc, char** argv);
