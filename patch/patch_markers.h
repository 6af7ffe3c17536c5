// The four words that open and close the two sections of a patch file.
#pragma once

constexpr const char* OBJECTS_BEGIN = "BEGIN_OBJECTS_DECLARE";
constexpr const char* OBJECTS_END = "END_OBJECTS_DECLARE";
constexpr const char* LINKS_BEGIN = "BEGIN_LINKS_DECLARE";
constexpr const char* LINKS_END = "END_LINKS_DECLARE";
