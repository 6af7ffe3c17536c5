// Reading a patch file: the objects section builds modules, the links section wires them.
#pragma once
#include <cstddef>

#include "engine/generator.h"

// The longest word a patch may hold; a longer word is reported and skipped. A sequencer is one
// word: every cell of its 64 x 64 steps set to extreme values writes about 580,000
// characters, so the limit leaves room for the longest name as well.
constexpr size_t PATCH_WORD_MAX = (1u << 20) - 1;

// The most modules a patch may declare. A larger patch is refused whole: every sequencer holds
// its 64 x 64 steps, so a short file could otherwise ask for gigabytes.
constexpr size_t PATCH_MODULES_MAX = 10000;

// Counts the words read from the file (markers, comments and skipped words alike); the
// readers' messages quote it after "ligne".
extern int word_number;

// Reads the objects section into g; 1 when the file was read, 0 when it could not be opened or
// was refused for declaring more than PATCH_MODULES_MAX modules (g then gains no module).
int load_objects(GENERATOR* g, const char* path);
// Reads the links section and sets the connections between g's modules; returns 1.
int load_links(GENERATOR* g, const char* path);

// Called with the patch path before a reader opens the file (the window caption, once
// there is a window); nothing is done while none is installed.
extern void (*patch_caption_hook)(const char* path);

// Ends the process for a fatal patch error (default: exit with the status). Tests and the
// fuzzers install one that throws instead.
extern void (*patch_fatal_hook)(int status);
