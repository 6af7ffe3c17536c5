// Saving the graph as a patch file without ever leaving a half-written one.
#pragma once
#include <sys/types.h>

#include <cstdio>
#include <functional>

#include "engine/generator.h"

// Writes g as a patch at path. The patch goes to a temporary file in the same folder, is
// flushed to the disk and only then renamed over path, so a failure at any point (full disk,
// crash, kill) leaves the file that was there whole. A failure is reported on the console and
// gives false; a symbolic link at path is followed, so the file it names is replaced.
bool save_patch_to(const GENERATOR* g, const char* path);

// The same for any file whose text `write` puts into the open file (false when it failed).
bool save_file_to(const char* path, const std::function<bool(FILE*)>& write);

// The permissions a file written in place of path gets: those of the file it replaces when there
// is one (a symbolic link is followed), else 0666 less the process's umask, as any new file.
mode_t replacement_mode(const char* path);

// Flushes a file descriptor to the disk (fsync). Saving calls it on the new file before the
// rename that puts it in place; tests replace it to watch that order.
extern int (*save_sync_hook)(int fd);

// Whether a folder entry is a temporary file of a save (".tessaro-save.*") or of a render
// ("NAME.partial-XXXXXX").
bool is_temporary_name(const char* name);

// Removes the temporary files that saves or renders killed midway left in the folder of path,
// when they last changed more than max_age_seconds ago (a younger one may belong to a save or
// render still running). Returns how many were removed.
int remove_stale_temporaries(const char* path, int max_age_seconds = 60);
