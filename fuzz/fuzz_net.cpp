// The network fuzz target: untrusted messages into the hub and into a lockstep peer.
#include <sstream>

#include "app/script.h"
#include "fuzz_targets.h"
#include "net/hub.h"
#include "net/lockstep.h"

namespace {

struct NoLinks : HubLinks {
  void Send(int, const std::vector<uint8_t>&) override {}
  void Close(int) override {}
  uint32_t RoundTrip(int) override { return 0; }
};

struct NoUplink : Uplink {
  void Send(const Message&) override {}
};

}  // namespace

std::string FuzzNetMessages(const uint8_t* data, size_t size) {
  RecordingPlatform platform;
  platform.answerAtOnce = false;
  HeadlessHost host(platform);
  NoUplink up;
  std::ostringstream log;
  Lockstep peer(host, up, log);
  NoLinks links;
  Hub hub(links, log);
  // Chunks of [length: 2 bytes][bytes]; a short last chunk takes what is left.
  size_t at = 0;
  int chunk = 0;
  while (at < size) {
    size_t n = at + 2 <= size ? (data[at] | data[at + 1] << 8) : 0;
    at = std::min(size, at + 2);
    n = std::min(n, size - at);
    const uint8_t* bytes = data + at;
    at += n;
    hub.Received(chunk++ % 3, bytes, n);
    std::string error;
    std::optional<Message> m = Decode(bytes, n, error);
    if (!m) {
      if (error.empty()) return "a refused message without a reason";
      continue;
    }
    const std::vector<uint8_t> again = Encode(*m);
    std::optional<Message> back = Decode(again.data(), again.size(), error);
    if (!back || !(*back == *m)) return "a message does not read back as itself";
    peer.Receive(*m);
    for (int i = 0; i < 3 && peer.Ready(); ++i) peer.Step(false);
  }
  return {};
}
