// Helpers of the patch tests: a scratch folder for patch files and a fatal hook that throws.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "engine/modules.h"
#include "patch/patch_reader.h"

// Thrown by the test fatal hook instead of ending the process.
struct PATCH_FATAL {
    int status;
};

inline void throwing_fatal_hook(int status) {
    throw PATCH_FATAL{status};
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class SCRATCH_DIR {
  public:
    SCRATCH_DIR() {
        std::string pattern = ::testing::TempDir() + "tessaro_patch_XXXXXX";
        char* made = mkdtemp(&pattern[0]);
        if (made != nullptr) path_ = made;
    }
    ~SCRATCH_DIR() {
        if (!path_.empty()) std::system(("chmod -R u+rwx '" + path_ + "' && rm -rf '" + path_ + "'").c_str());
    }
    SCRATCH_DIR(const SCRATCH_DIR&) = delete;
    SCRATCH_DIR& operator=(const SCRATCH_DIR&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Writes text to the named file and returns its path.
    std::string write(const std::string& name, const std::string& text) const {
        std::string p = file(name);
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }

  private:
    std::string path_;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

    SCRATCH_DIR dir_;
    std::unique_ptr<GENERATOR> graph_;

  private:
    void (*saved_hook_)(int) = nullptr;
};
