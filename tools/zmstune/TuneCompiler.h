#pragma once

// The tune compiler behind "zmstune build": a tune source (FORMAT.md beside
// this file) into the bytes of a version 1.1 tune file.

#include <cstdint>
#include <string>
#include <vector>

// False on a mistake. Errors and warnings ("NAME:LINE: text", one line each)
// go to standard error, or are appended to messages when it is given.
bool CompileTuneSource(const std::string& text, const std::string& name, std::vector<uint8_t>* bytes,
                       std::string* messages = nullptr);
