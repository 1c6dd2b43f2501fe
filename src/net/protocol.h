// The messages peers and the hub exchange: a length prefix, a type byte and a payload of
// little-endian integers and length-prefixed texts. Decoding never trusts a length: a message
// that is short, long or malformed is refused with a reason.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr uint32_t kProtocolVersion = 1;
// The largest message accepted (a desync's field listing of a big battle fits).
inline constexpr uint32_t kMaxMessageBytes = 32u << 20;
// The peer id observers' messages carry below this are players'.
inline constexpr uint8_t kNoPeer = 255;

enum class MsgType : uint8_t {
  Hello = 1,
  Refuse,
  Start,
  Live,
  Commands,
  Done,
  Hash,
  Chat,
  Bye,
  Delay,
  State,
  Pace,
  Gone,
};

enum class Role : uint8_t { Player = 0, Observer = 1 };

struct PlayerSlot {
  int8_t Side = 0;
  std::string Name;
  bool operator==(const PlayerSlot&) const = default;
};

// One message; which fields count depends on Type.
struct Message {
  MsgType Type = MsgType::Hello;
  // Hello
  uint32_t Version = kProtocolVersion;
  uint64_t DataHash = 0;
  Role WantRole = Role::Player;
  int8_t Side = 0;
  std::string MatchName;  // the relay keeps matches apart by name
  uint8_t Players = 0;    // the first hello of a match: how many players it waits for
  std::optional<uint32_t> Seed;
  // Refuse, Chat: the text; Hello: the data set's fields ("path value" lines); State: the
  // state's fields at Frame.
  std::string Text;
  // Start
  uint32_t OrderDelay = 0;        // frames; Delay too
  std::vector<PlayerSlot> Slots;  // players in player order
  uint8_t You = kNoPeer;          // your peer id
  // Commands, Done, Hash, Bye, State, Pace, Chat, Gone: who and at which frame
  uint8_t Peer = kNoPeer;
  uint32_t Frame = 0;
  std::vector<std::string> Lines;  // Commands: command lines
  uint64_t StateHash = 0;          // Hash
  bool Paused = false;             // Pace
  uint8_t Speed = 0;               // Pace

  bool operator==(const Message&) const = default;
};

// The message with its length prefix.
std::vector<uint8_t> Encode(const Message& message);

// One whole framed message (a datagram transport hands these); nullopt with error set.
std::optional<Message> Decode(const uint8_t* data, size_t size, std::string& error);

// "commands", "done"... for messages.
const char* TypeName(MsgType type);
