// The sub-block plan: cutting the graph into units and running them a run of frames at a time.
#include "block_plan.h"

#include "generator.h"

std::atomic<int> block_engine{1};

BLOCK_PLAN* build_block_plan(GENERATOR&) {
    return nullptr;
}

void free_block_plan(BLOCK_PLAN*) {}

bool plan_matches(const BLOCK_PLAN&, const GENERATOR&) {
    return false;
}

void run_block_plan(BLOCK_PLAN&, float*, int) {}
