#include "net/protocol.h"

#include <cstring>

namespace {

// Room for at most this many command lines or player slots in one message.
constexpr uint32_t kMaxItems = 1u << 16;

// The two ends of one layout: Walk below writes a message with a Writer and reads it with a
// Reader, so that both keep the same fields in the same order.
class Writer {
 public:
  static constexpr bool kReads = false;
  bool U8(uint8_t v) {
    out.push_back(v);
    return true;
  }
  bool U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return true;
  }
  bool U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return true;
  }
  bool I8(int8_t v) { return U8(static_cast<uint8_t>(v)); }
  bool Flag(bool v) { return U8(v ? 1 : 0); }
  template <typename E>
  bool Enum(E v, uint8_t) {
    return U8(static_cast<uint8_t>(v));
  }
  // A value that may be absent: a flag, then the value (0 when absent).
  bool Maybe(const std::optional<uint32_t>& v) { return Flag(v.has_value()) && U32(v.value_or(0)); }
  // A value that is always sent (0 when absent).
  bool Always(const std::optional<uint32_t>& v) { return U32(v.value_or(0)); }
  bool Text(const std::string& s) {
    U32(static_cast<uint32_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
    return true;
  }
  template <typename T, typename Item>
  bool List(const std::vector<T>& items, Item item) {
    U32(static_cast<uint32_t>(items.size()));
    for (const T& t : items) item(*this, t);
    return true;
  }
  std::vector<uint8_t> out;
};

class Reader {
 public:
  static constexpr bool kReads = true;
  Reader(const uint8_t* data, size_t size) : p_(data), left_(size) {}
  bool U8(uint8_t& v) {
    if (left_ < 1) return false;
    v = *p_++;
    --left_;
    return true;
  }
  bool U32(uint32_t& v) {
    if (left_ < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p_[i]) << (8 * i);
    p_ += 4;
    left_ -= 4;
    return true;
  }
  bool U64(uint64_t& v) {
    if (left_ < 8) return false;
    v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(p_[i]) << (8 * i);
    p_ += 8;
    left_ -= 8;
    return true;
  }
  bool I8(int8_t& v) {
    uint8_t u = 0;
    if (!U8(u)) return false;
    v = static_cast<int8_t>(u);
    return true;
  }
  bool Flag(bool& v) {
    uint8_t u = 0;
    if (!U8(u) || u > 1) return false;
    v = u == 1;
    return true;
  }
  template <typename E>
  bool Enum(E& v, uint8_t max) {
    uint8_t u = 0;
    if (!U8(u) || u > max) return false;
    v = static_cast<E>(u);
    return true;
  }
  bool Maybe(std::optional<uint32_t>& v) {
    bool has = false;
    uint32_t value = 0;
    if (!Flag(has) || !U32(value)) return false;
    if (has) v = value;
    return true;
  }
  bool Always(std::optional<uint32_t>& v) {
    uint32_t value = 0;
    if (!U32(value)) return false;
    v = value;
    return true;
  }
  bool Text(std::string& s) {
    uint32_t n = 0;
    if (!U32(n) || n > left_) return false;
    s.assign(reinterpret_cast<const char*>(p_), n);
    p_ += n;
    left_ -= n;
    return true;
  }
  template <typename T, typename Item>
  bool List(std::vector<T>& items, Item item) {
    uint32_t n = 0;
    // Every item takes at least a byte.
    if (!U32(n) || n > kMaxItems || n > left_) return false;
    items.resize(n);
    for (T& t : items)
      if (!item(*this, t)) return false;
    return true;
  }
  bool AtEnd() const { return left_ == 0; }

 private:
  const uint8_t* p_;
  size_t left_;
};

// Each message type's fields in wire order; M is Message, const for writing.
template <typename IO, typename M>
bool Walk(IO& io, M& m) {
  switch (m.Type) {
    case MsgType::Hello:
      if (!io.U32(m.Version)) return false;
      // A peer of another version gets its refusal even when the rest is laid out otherwise.
      if (IO::kReads && m.Version != kProtocolVersion) return true;
      return io.U64(m.DataHash) && io.Enum(m.WantRole, 1) && io.I8(m.Side) &&
             io.Text(m.MatchName) && io.U8(m.Players) && io.Maybe(m.Seed) && io.Text(m.Text);
    case MsgType::Refuse:
    case MsgType::Chat:
      return io.U8(m.Peer) && io.Text(m.Text);
    case MsgType::Start:
      return io.Always(m.Seed) && io.U32(m.OrderDelay) && io.U8(m.You) &&
             io.List(m.Slots, [](IO& o, auto& s) { return o.I8(s.Side) && o.Text(s.Name); });
    case MsgType::Live:
      return true;
    case MsgType::Commands:
      return io.U8(m.Peer) && io.U32(m.Frame) &&
             io.List(m.Lines, [](IO& o, auto& line) { return o.Text(line); });
    case MsgType::Done:
    case MsgType::Bye:
    case MsgType::Gone:
      return io.U8(m.Peer) && io.U32(m.Frame);
    case MsgType::Hash:
      return io.U8(m.Peer) && io.U32(m.Frame) && io.U64(m.StateHash);
    case MsgType::Delay:
      return io.U32(m.OrderDelay);
    case MsgType::State:
      return io.U8(m.Peer) && io.U32(m.Frame) && io.Text(m.Text);
    case MsgType::Pace:
      return io.U8(m.Peer) && io.U32(m.Frame) && io.Flag(m.Paused) && io.U8(m.Speed);
  }
  return false;
}

uint32_t Length(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// A body of `size` bytes (type and payload).
std::optional<Message> DecodeBody(const uint8_t* data, size_t size, std::string& error) {
  if (size < 1) {
    error = "empty message";
    return std::nullopt;
  }
  Message m;
  if (data[0] < static_cast<uint8_t>(MsgType::Hello) ||
      data[0] > static_cast<uint8_t>(MsgType::Gone)) {
    error = "unknown message type " + std::to_string(data[0]);
    return std::nullopt;
  }
  m.Type = static_cast<MsgType>(data[0]);
  Reader r(data + 1, size - 1);
  const bool read = Walk(r, m);
  // A hello of another version may be laid out otherwise past its version.
  const bool otherVersion = m.Type == MsgType::Hello && m.Version != kProtocolVersion;
  if (!read || (!otherVersion && !r.AtEnd())) {
    error = std::string("malformed ") + TypeName(m.Type) + " message";
    return std::nullopt;
  }
  return m;
}

}  // namespace

std::vector<uint8_t> Encode(const Message& message) {
  Writer w;
  w.U32(0);
  w.U8(static_cast<uint8_t>(message.Type));
  Walk(w, message);
  const uint32_t length = static_cast<uint32_t>(w.out.size() - 4);
  for (int i = 0; i < 4; ++i)
    w.out[static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
  return std::move(w.out);
}

std::optional<Message> Decode(const uint8_t* data, size_t size, std::string& error) {
  if (size < 4) {
    error = "truncated message";
    return std::nullopt;
  }
  const uint32_t length = Length(data);
  if (length > kMaxMessageBytes) {
    error = "message of " + std::to_string(length) + " bytes is too long";
    return std::nullopt;
  }
  if (length != size - 4) {
    error = length > size - 4 ? "truncated message" : "bytes after the message";
    return std::nullopt;
  }
  return DecodeBody(data + 4, length, error);
}

const char* TypeName(MsgType type) {
  static const char* const kNames[] = {"hello", "refuse", "start", "live", "commands",
                                       "done",  "hash",   "chat",  "bye",  "delay",
                                       "state", "pace",   "gone"};
  const size_t i = static_cast<size_t>(type) - 1;
  return i < sizeof kNames / sizeof kNames[0] ? kNames[i] : "unknown";
}
