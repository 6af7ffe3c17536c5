// Values read back out of the text of a patch the program saved.
#pragma once
#include <string>

// The first number after key= on the line of a saved patch that starts with name; -1 for none.
double saved_value(const std::string& patch, const std::string& name, const std::string& key);
// The text of the patch file at path once it is whole (its links section ended): a save being
// written is waited for. What the file holds when the wait ends otherwise.
std::string whole_patch(const std::string& path);
