// Values read back out of the text of a patch the program saved.
#pragma once
#include <string>

// The first number after key= on the line of a saved patch that starts with name; -1 for none.
double saved_value(const std::string& patch, const std::string& name, const std::string& key);
