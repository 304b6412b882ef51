// The whole content of a file, byte for byte, to check what code under test
// wrote; empty when the file cannot be read.
#pragma once

#include <filesystem>
#include <string>

std::string FileBytes(const std::filesystem::path& path);
