// Chief header of the synthesis engine: every module class, the container and the callback.
#pragma once
#include "audio.h"
#include "generator.h"
#include "note_table.h"
#include "random.h"
