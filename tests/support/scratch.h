// Scratch folders and whole-file reads and writes for the tests.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it.
class SCRATCH_DIR {
  public:
    explicit SCRATCH_DIR(const std::string& tag = "scratch");
    ~SCRATCH_DIR();
    SCRATCH_DIR(const SCRATCH_DIR&) = delete;
    SCRATCH_DIR& operator=(const SCRATCH_DIR&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes text to the named file and returns its path.
    std::string write(const std::string& name, const std::string& text) const;
    std::string read(const std::string& name) const;

  private:
    std::string path_;
};

// Removes a folder and everything below it, unreadable or unwritable parts included.
void remove_tree(const std::string& dir);

void write_text(const std::string& path, const std::string& text);
// The bytes of a file; empty when it cannot be read.
std::string read_text(const std::string& path);
// Names in a folder in sorted order, "." and ".." left out.
std::vector<std::string> folder_names(const std::string& dir);
// How often what occurs in text.
int count_of(const std::string& text, const std::string& what);

// A stage for the real program, a folder that looks like the repository (from): links to the
// named folders of from. Returns false when a link cannot be made.
bool link_folders(const SCRATCH_DIR& stage, const std::string& from,
                  std::initializer_list<const char*> names);
// A folder of the stage's own (so that what the program writes there stays in the stage) holding
// links to the files of from's folder of that name, or copies of its patches (".KVX") when
// copy_patches is set. Returns false when a file cannot be staged.
bool stage_folder(const SCRATCH_DIR& stage, const std::string& from, const std::string& name,
                  bool copy_patches);
