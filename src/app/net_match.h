// A network match as the window sees it: its state for the banner and the menu, and what the
// window asks of it. The lockstep peer (net/net_peer.h) is one.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

class NetMatch {
 public:
  static constexpr size_t kChatMaxBytes = 200;  // a longer message is cut

  virtual ~NetMatch() = default;
  // Loads the data, opens the wire and says hello; false with the reason.
  virtual bool Begin(std::string& error) = 0;
  // Pause and speed for every peer, from the next frame this peer stamps.
  virtual void SetPace(bool paused, int speed) = 0;
  // A chat line (Windows-1251) to everyone; false before the match runs.
  virtual bool Chat(const std::string& text) = 0;
  // The window's view is w x h: a player's new size goes to every peer as its `resize` input.
  virtual void ViewResized(int w, int h) = 0;
  // The match stops waiting for the players who are gone.
  virtual void HandOver() = 0;
  // The host starts the match with the players in.
  virtual bool StartNow() = 0;
  // The window closes: true when it may close now, false while the others still need it.
  virtual bool Leave() = 0;

  virtual bool host() const = 0;
  virtual bool started() const = 0;
  // This window plays a side (an observer does not).
  virtual bool player() const = 0;
  // A player whose connection dropped, not yet back.
  virtual bool someoneGone() const = 0;
  // The match has ended here (everyone left, refused, failed or out of sync).
  virtual bool ended() const = 0;
  virtual int status() const = 0;
  // The banner's network line (UTF-8): the lobby, whom the match waits for, the chat.
  virtual std::string Status() const = 0;

  // A problem the user must see (refused, desync, lost); the match has ended.
  std::function<void(const std::string&)> onProblem;
  // The match has ended with status().
  std::function<void()> onEnded;
};
