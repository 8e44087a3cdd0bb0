#pragma once
// Files of assets/ built into the program (the stored layout and the pictures it names).
#include <cstdint>
#include <string>
#include <vector>

// The bytes of an embedded file by its name relative to assets/; raises std::out_of_range
// for a name that is not embedded.
std::vector<uint8_t> ViewerAsset(const std::string& name);
