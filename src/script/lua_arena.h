// A fixed block of memory that one Lua state lives in: the script's memory cap, and a state
// that can be copied out and back (snapshots) because every pointer in it stays inside.
// Same requests in the same order give the same blocks at the same offsets.
#pragma once

#include <cstddef>
#include <string>

class LuaArena {
 public:
  explicit LuaArena(size_t capacity);
  ~LuaArena();
  LuaArena(const LuaArena&) = delete;
  LuaArena& operator=(const LuaArena&) = delete;

  // Lua's allocation contract (lua_Alloc without the user pointer): a block of at least
  // nsize bytes, nullptr when the arena is full; nsize 0 frees. Shrinking never fails.
  void* Realloc(void* block, size_t osize, size_t nsize);
  // Forgets every block.
  void Clear();
  // Bytes from the start of the arena to its highest block: what a copy must hold.
  size_t Used() const;
  size_t Capacity() const { return capacity_; }
  // The arena's bytes, and putting them back; only into the arena they came from.
  std::string Copy() const;
  void Put(const std::string& bytes);
  const void* Base() const { return base_; }

 private:
  struct Head;
  Head& head() const;
  void* Take(size_t cls);
  void Give(void* block, size_t cls);

  size_t capacity_;
  char* base_;
};
