#pragma once
// What the build hands a test program through its environment.

#include <string>

// The folder a variable names; empty when it is unset or not a folder, so that a test
// of the samples can say it skips.
std::string folderFrom(const char* variable);
