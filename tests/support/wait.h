// Waiting on what a test checks (a console line, a file, a pixel, a socket) instead of on the clock.
#pragma once
#include <functional>

// How long a test grants anything it waits for: far beyond what a loaded machine or a sanitizer
// build takes, so that running out of it means a hang, not a slow run.
constexpr int PATIENCE_MS = 60000;

// Checks done every poll_ms milliseconds until it holds; false once timeout_ms have passed on the
// clock without it holding. done is checked once more at the deadline.
bool wait_until(const std::function<bool()>& done, int timeout_ms = PATIENCE_MS, int poll_ms = 20);

// Sleeps ms milliseconds: only for pacing input as a hand would, never to let something happen.
void pause_ms(int ms);
