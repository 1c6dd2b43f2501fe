#include "script/lua_arena.h"

#include <sys/mman.h>

#include <cassert>
#include <cstring>
#include <new>

namespace {

constexpr size_t kAlign = 16;
// Classes: 16-byte steps up to 256, then four steps per power of two.
constexpr size_t kSmallClasses = 16;
constexpr size_t kClasses = kSmallClasses + 4 * 40;

size_t ClassSize(size_t cls) {
  if (cls < kSmallClasses) return (cls + 1) * kAlign;
  const size_t k = cls - kSmallClasses;
  const size_t power = size_t{256} << (k / 4);
  return power + power / 4 * (k % 4 + 1);
}

size_t ClassOf(size_t n) {
  if (n <= kSmallClasses * kAlign) return n == 0 ? 0 : (n - 1) / kAlign;
  size_t power = 256;
  size_t k = 0;
  while (power * 2 < n) {
    power *= 2;
    k += 4;
  }
  const size_t step = power / 4;
  return kSmallClasses + k + (n - power + step - 1) / step - 1;
}

}  // namespace

struct LuaArena::Head {
  size_t Top;  // offset of the first byte never handed out
  void* Free[kClasses];
};

LuaArena::LuaArena(size_t capacity) : capacity_(capacity) {
  // Pages are only backed once touched: an arena costs what its script uses.
  void* p = mmap(nullptr, capacity_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  base_ = static_cast<char*>(p);
  Clear();
}

LuaArena::~LuaArena() {
  munmap(base_, capacity_);
}

LuaArena::Head& LuaArena::head() const {
  return *reinterpret_cast<Head*>(base_);
}

void LuaArena::Clear() {
  // The pages a script filled go back to the system.
  constexpr size_t kPage = 4096;
  if (Used() > 16 * kPage && capacity_ > kPage)
    madvise(base_ + kPage, capacity_ - kPage, MADV_DONTNEED);
  std::memset(base_, 0, sizeof(Head));
  head().Top = (sizeof(Head) + kAlign - 1) / kAlign * kAlign;
}

size_t LuaArena::Used() const {
  return head().Top;
}

void* LuaArena::Take(size_t cls) {
  if (cls >= kClasses) return nullptr;
  Head& h = head();
  if (void* block = h.Free[cls]) {
    std::memcpy(&h.Free[cls], block, sizeof(void*));
    return block;
  }
  const size_t size = ClassSize(cls);
  if (size > capacity_ - h.Top) return nullptr;
  void* block = base_ + h.Top;
  h.Top += size;
  return block;
}

void LuaArena::Give(void* block, size_t cls) {
  Head& h = head();
  std::memcpy(block, &h.Free[cls], sizeof(void*));
  h.Free[cls] = block;
}

void* LuaArena::Realloc(void* block, size_t osize, size_t nsize) {
  if (nsize == 0) {
    if (block != nullptr) Give(block, ClassOf(osize));
    return nullptr;
  }
  if (nsize > capacity_) return nsize < osize ? block : nullptr;
  const size_t cls = ClassOf(nsize);
  if (block == nullptr) return Take(cls);
  const size_t old = ClassOf(osize);
  if (cls == old) return block;
  void* fresh = Take(cls);
  if (fresh == nullptr) return nsize < osize ? block : nullptr;
  std::memcpy(fresh, block, nsize < osize ? nsize : osize);
  Give(block, old);
  return fresh;
}

std::string LuaArena::Copy() const {
  return std::string(base_, Used());
}

void LuaArena::Put(const std::string& bytes) {
  assert(bytes.size() >= sizeof(Head) && bytes.size() <= capacity_);
  std::memcpy(base_, bytes.data(), bytes.size());
}
