// The command card: what the selection can build or train, one button for each line of the
// build box, with the type's price and a hotkey, and how far the build under way has come.
// A button only chooses its line of the build box, so the right click that follows, and the
// recording, are those of a choice made in the box.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/world.h"

struct CardButton {
  int32_t Item = 0;               // the build box's line ("choose 2 Item")
  std::string Name;               // as the box shows it (Windows-1251)
  const TOpisan* Type = nullptr;  // null: the builder's race has no type of that name
  int32_t Kind = -1;              // Type's index in its race
  int32_t Price = 0;              // money: a build takes one a frame
  char Hotkey = 0;                // 0 past the last key
  bool operator==(const CardButton&) const = default;
};

struct CommandCard {
  std::vector<CardButton> Buttons;
  int32_t Builder = -1;           // the first selected live object; -1: nothing selected
  std::optional<float> Progress;  // 0 to 1 of the build the builder works at now
  bool operator==(const CommandCard&) const = default;
};

// The hotkeys, in button order: three buttons a row, two rows.
inline constexpr std::array<char, 6> kCardHotkeys = {'Q', 'W', 'E', 'A', 'S', 'D'};

// The card of the build box's lines for a selection: the one aside (indices in ascending
// order), else the objects' Selected flags. Names are found in the builder's race as the build
// order finds them: the last type of that name.
CommandCard MakeCommandCard(const World& world, const std::vector<int32_t>* selectionAside,
                            const std::vector<std::string>& buildItems);

// The button of a hotkey ('q' or 'Q'), or -1.
int32_t CardButtonOfKey(const CommandCard& card, char key);

// Where a building chosen on the card would stand: a builder that walks there builds at the
// point clicked, so the footprint follows the cursor. Null when the choice is not a building
// placed by a walking builder.
const TOpisan* FootprintType(const World& world, const CommandCard& card, int32_t chosenItem);
