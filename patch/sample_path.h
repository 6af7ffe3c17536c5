// Where a sampler's FILE is found: beside the patch first, so a patch moves with its samples.
#pragma once
#include <string>
#include <vector>

// The paths tried for a FILE value, in order: relative to the folder of the patch file, then as
// written (relative to the current folder). An absolute path, or a patch in the current folder,
// gives the one path as written.
std::vector<std::string> sample_candidates(const std::string& patch_path, const std::string& file);

// The first candidate that exists; the path as written when none does (its failure is then the
// one reported).
std::string sample_path_for(const std::string& patch_path, const std::string& file);
