// The sub-block plan: the graph cut into units run a run of frames at a time, same bits as the sweep.
#pragma once
#include <atomic>
#include <cstdint>

struct GENERATOR;
struct BLOCK_PLAN;

// Frames a plan runs at a time: parameters are read at the start of each run, so a value
// written from another thread is heard within 64 frames (1.45 ms).
constexpr int SUB_BLOCK = 64;

// 1 (the default): render_frames runs a graph's current plan; 0: always the per-frame sweep.
extern std::atomic<int> block_engine;

// How many parameter stores the door has made: a plan reads its lanes' settings again only when
// the count moved since its last run, since nothing else writes them.
extern std::atomic<uint32_t> param_writes;

// The fewest modules of one kind a graph must be able to run side by side for a plan to be made
// (8; 0 gives every graph a plan).
extern std::atomic<int> plan_min_lanes;

// Builds the plan of a graph from its lists and links, or null when the graph runs frame by frame.
// Called where the links change (loading, the door), never on the audio thread: it allocates.
BLOCK_PLAN* build_block_plan(GENERATOR& g);
void free_block_plan(BLOCK_PLAN* plan);

// Whether the plan still matches the graph: the same modules in the same lists, the same links.
bool plan_matches(const BLOCK_PLAN& plan, const GENERATOR& g);

// Runs frames (at most SUB_BLOCK) of the graph through the plan and writes the signal of
// master_field (a module's output, the sound sent out), one float a frame. The plan must match the graph. False, and nothing run, when
// these frames must go frame by frame (an oscillator plays noise).
bool run_block_plan(BLOCK_PLAN& plan, const float* master_field, float* master, int frames);
// Gives the modules the state their lanes carried through the runs since: every field then holds
// what the per-frame sweep would have left. render_frames calls it before it returns.
void flush_block_plan(BLOCK_PLAN& plan);
