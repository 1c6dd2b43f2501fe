#include "net/protocol.h"

#include <cstring>

namespace {

// Room for at most this many command lines or player slots in one message.
constexpr uint32_t kMaxItems = 1u << 16;

class Writer {
 public:
  void U8(uint8_t v) { out.push_back(v); }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Text(const std::string& s) {
    U32(static_cast<uint32_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
  }
  std::vector<uint8_t> out;
};

class Reader {
 public:
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
  bool Text(std::string& s) {
    uint32_t n = 0;
    if (!U32(n) || n > left_) return false;
    s.assign(reinterpret_cast<const char*>(p_), n);
    p_ += n;
    left_ -= n;
    return true;
  }
  bool Count(uint32_t& n) { return U32(n) && n <= kMaxItems && n <= left_; }
  bool AtEnd() const { return left_ == 0; }

 private:
  const uint8_t* p_;
  size_t left_;
};

void WriteBody(const Message& m, Writer& w) {
  switch (m.Type) {
    case MsgType::Hello:
      w.U32(m.Version);
      w.U64(m.DataHash);
      w.U8(static_cast<uint8_t>(m.WantRole));
      w.U8(static_cast<uint8_t>(m.Side));
      w.Text(m.MatchName);
      w.U8(m.Players);
      w.U8(m.Seed.has_value());
      w.U32(m.Seed.value_or(0));
      w.Text(m.Text);
      break;
    case MsgType::Refuse:
    case MsgType::Chat:
      w.U8(m.Peer);
      w.Text(m.Text);
      break;
    case MsgType::Start:
      w.U32(m.Seed.value_or(0));
      w.U32(m.OrderDelay);
      w.U8(m.You);
      w.U32(static_cast<uint32_t>(m.Slots.size()));
      for (const PlayerSlot& s : m.Slots) {
        w.U8(static_cast<uint8_t>(s.Side));
        w.Text(s.Name);
      }
      break;
    case MsgType::Live:
      break;
    case MsgType::Commands:
      w.U8(m.Peer);
      w.U32(m.Frame);
      w.U32(static_cast<uint32_t>(m.Lines.size()));
      for (const std::string& line : m.Lines) w.Text(line);
      break;
    case MsgType::Done:
    case MsgType::Bye:
    case MsgType::Gone:
      w.U8(m.Peer);
      w.U32(m.Frame);
      break;
    case MsgType::Hash:
      w.U8(m.Peer);
      w.U32(m.Frame);
      w.U64(m.StateHash);
      break;
    case MsgType::Delay:
      w.U32(m.OrderDelay);
      break;
    case MsgType::State:
      w.U8(m.Peer);
      w.U32(m.Frame);
      w.Text(m.Text);
      break;
    case MsgType::Pace:
      w.U8(m.Peer);
      w.U32(m.Frame);
      w.U8(m.Paused);
      w.U8(m.Speed);
      break;
  }
}

bool ReadBody(Reader& r, Message& m) {
  switch (m.Type) {
    case MsgType::Hello: {
      uint8_t role = 0, hasSeed = 0;
      uint32_t seed = 0;
      if (!r.U32(m.Version)) return false;
      // A peer of another version gets its refusal even when the rest is laid out otherwise.
      if (m.Version != kProtocolVersion) return true;
      if (!r.U64(m.DataHash) || !r.U8(role) || role > 1 || !r.I8(m.Side) || !r.Text(m.MatchName) ||
          !r.U8(m.Players) || !r.U8(hasSeed) || hasSeed > 1 || !r.U32(seed) || !r.Text(m.Text))
        return false;
      m.WantRole = static_cast<Role>(role);
      if (hasSeed) m.Seed = seed;
      return true;
    }
    case MsgType::Refuse:
    case MsgType::Chat:
      return r.U8(m.Peer) && r.Text(m.Text);
    case MsgType::Start: {
      uint32_t seed = 0, count = 0;
      if (!r.U32(seed) || !r.U32(m.OrderDelay) || !r.U8(m.You) || !r.Count(count)) return false;
      m.Seed = seed;
      m.Slots.resize(count);
      for (PlayerSlot& s : m.Slots)
        if (!r.I8(s.Side) || !r.Text(s.Name)) return false;
      return true;
    }
    case MsgType::Live:
      return true;
    case MsgType::Commands: {
      uint32_t count = 0;
      if (!r.U8(m.Peer) || !r.U32(m.Frame) || !r.Count(count)) return false;
      m.Lines.resize(count);
      for (std::string& line : m.Lines)
        if (!r.Text(line)) return false;
      return true;
    }
    case MsgType::Done:
    case MsgType::Bye:
    case MsgType::Gone:
      return r.U8(m.Peer) && r.U32(m.Frame);
    case MsgType::Hash:
      return r.U8(m.Peer) && r.U32(m.Frame) && r.U64(m.StateHash);
    case MsgType::Delay:
      return r.U32(m.OrderDelay);
    case MsgType::State:
      return r.U8(m.Peer) && r.U32(m.Frame) && r.Text(m.Text);
    case MsgType::Pace:
      return r.U8(m.Peer) && r.U32(m.Frame) && r.Flag(m.Paused) && r.U8(m.Speed);
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
  const bool read = ReadBody(r, m);
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
  WriteBody(message, w);
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
