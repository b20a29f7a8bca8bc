#pragma once
#include <string>

// The (Linux) folder given on the command line for the PNG files.
const std::string& ShotFolder();
