// Reading whole files with the system's reason for a failure. Stateless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads the plain file at `path` (a native path): its first `limit` bytes, all of them for 0.
// On failure returns false with `error` an errno value: the system's, EISDIR for a folder,
// ENODEV for anything else that is no plain file. `size` gets the whole file's size.
bool ReadFileBytes(const std::string& path, std::string& bytes, int& error, size_t limit = 0,
                   uint64_t* size = nullptr);

// The system's words for an errno value ("Permission denied").
std::string SystemReason(int error);
