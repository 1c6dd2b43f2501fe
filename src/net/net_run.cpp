#include "net/net_run.h"

#include <chrono>
#include <iostream>

#include "app/script.h"
#include "app/startup.h"
#include "net/hub.h"
#include "net/net_peer.h"

namespace {

using Clock = std::chrono::steady_clock;

using Failed = NetFailure;

int Serve(const NetOptions& net) {
  struct Relay : HubLinks {
    EnetLink link;
    void Send(int conn, const std::vector<uint8_t>& bytes) override { link.Send(conn, bytes); }
    void Close(int conn) override { link.Close(conn); }
    uint32_t RoundTrip(int conn) override { return link.RoundTrip(conn); }
  } relay;
  SimulateNetwork(relay.link);
  std::string error;
  if (!relay.link.Listen(net.port, error)) throw Failed{kNetworkFailed, error};
  Hub hub(relay, std::cerr);
  std::cerr << "rtsdemo: relaying matches on UDP port " << net.port << "\n";
  auto lastAdapt = Clock::now();
  for (;;) {
    for (EnetLink::Event e = relay.link.Poll(10); e.kind != EnetLink::Event::None;
         e = relay.link.Poll(0)) {
      if (e.kind == EnetLink::Event::Received) hub.Received(e.conn, e.data.data(), e.data.size());
      if (e.kind == EnetLink::Event::Disconnected) hub.Disconnected(e.conn);
    }
    if (SecondsSince(lastAdapt) > 1) {
      lastAdapt = Clock::now();
      hub.AdaptDelay();
    }
  }
}

int Play(const Invocation& run) {
  const NetOptions& net = run.net;
  const WindowOptions& options = run.window;
  Script script;
  if (options.script && !LoadScript(*options.script, script, std::cerr)) return 2;

  RecordingPlatform platform;
  HeadlessHost host(platform);
  SessionStart start = StartOf(options);
  start.Network = true;  // the side is the hub's to give
  if (!OpenSession(host, start, std::cerr)) return 2;
  bool seekFailed = false;
  if (const std::optional<int> status = BeginSession(host, start, std::cerr, seekFailed))
    return *status;
  NetPeer peer(host, net, options, true);
  std::string error;
  if (!peer.Begin(error)) throw Failed{peer.status(), error};
  return peer.Play(script);
}

}  // namespace

int RunNetwork(const Invocation& run) {
  try {
    if (run.net.kind == NetOptions::Kind::Serve) return Serve(run.net);
    return Play(run);
  } catch (const Failed& f) {
    std::cerr << "rtsdemo: " << f.text << "\n";
    return f.status;
  } catch (const ProgramExit& e) {
    return e.Code;
  }
}
