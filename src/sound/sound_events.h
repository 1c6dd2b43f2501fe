// Finds the sounds a frame made by comparing the world with what the previous frame left:
// blows, deaths, buildings begun and finished, deliveries, units trained, the match decided,
// and the player's order acknowledged. Reads the world only.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "game/world.h"
#include "sound/sound_kinds.h"

struct SoundEvent {
  SoundKind Kind = SoundKind::BlowCrush;
  float X = 0;  // world units
  float Y = 0;
  bool Placed = true;  // false: heard wherever the view is (victory, defeat)
};

class EventFinder {
 public:
  // Takes the world as it stands without finding anything (a level created, a command, a state
  // restored).
  void Rebase(const World& world, int32_t winner);
  // The player's order is handed out in the next frame: that frame acknowledges it.
  void OrderGiven() { orderPending_ = true; }
  // The events from the last state to this one, which becomes the last state. winner: the
  // match's (-1 undecided); playAs: the player's side (-1 both); selection: the player's
  // selected objects in index order when the objects' flags are another player's.
  std::vector<SoundEvent> Frame(const World& world, int32_t winner, int32_t playAs,
                                const std::vector<int32_t>* selection = nullptr);

 private:
  struct Trace {
    bool Alive = false;
    int32_t Action = 0;
    float Frame = 0;
    float Cargo = 0;
    int32_t BuildProgress = 0;
  };
  std::vector<Trace> traces_;
  std::array<float, 4> money_{};
  int32_t winner_ = -1;
  bool orderPending_ = false;
};

// True for a type that cannot walk (a building, a deposit) or no type at all.
bool IsBuilding(const World& world, const TObyekt& object);
