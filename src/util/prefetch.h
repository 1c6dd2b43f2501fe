// A hint to the cache that an address will be read soon; it changes no result.
#pragma once

inline void Prefetch(const void* address) {
  __builtin_prefetch(address);
}
