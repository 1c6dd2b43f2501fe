// A script's text as read, with the name messages give it and a hash of its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct AiFile {
  std::string Shown;
  std::string Text;
  uint64_t Hash = 0;
};

// 64-bit FNV-1a of the bytes.
uint64_t AiHash(std::string_view bytes);
