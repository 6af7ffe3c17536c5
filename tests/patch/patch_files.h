// Helpers of the patch tests: a fatal hook that throws and a base with a scratch folder for patch files.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/modules.h"
#include "patch/patch_reader.h"
#include "tests/support/scratch.h"

// Thrown by the test fatal hook instead of ending the process.
struct PATCH_FATAL {
    int status;
};

inline void throwing_fatal_hook(int status) {
    throw PATCH_FATAL{status};
}

// Base of the patch tests: note table filled, fatal errors thrown, a scratch folder.
class PatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fill_note_table();
        saved_hook_ = patch_fatal_hook;
        patch_fatal_hook = throwing_fatal_hook;
        graph_ = std::make_unique<GENERATOR>();
    }
    void TearDown() override { patch_fatal_hook = saved_hook_; }

    // Loads both sections of a patch text into the test's graph.
    void load(const std::string& text) {
        std::string p = dir_.write("patch.KVX", text);
        ASSERT_EQ(1, load_objects(graph_.get(), p.c_str()));
        load_links(graph_.get(), p.c_str());
    }
    // Loads a patch text and returns what the readers printed.
    std::string load_printing(const std::string& text) {
        ::testing::internal::CaptureStdout();
        try {
            load(text);
        } catch (...) {
            ::testing::internal::GetCapturedStdout();
            throw;
        }
        return ::testing::internal::GetCapturedStdout();
    }

    GENERATOR& g() { return *graph_; }
    // The place a reader's warning starts with for a line of the file load() writes.
    std::string at(int line) const { return dir_.file("patch.KVX") + ":" + std::to_string(line) + ": "; }

    SCRATCH_DIR dir_;
    std::unique_ptr<GENERATOR> graph_;

  private:
    void (*saved_hook_)(int) = nullptr;
};
