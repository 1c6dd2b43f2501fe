// The key table: every key of the window with its modifiers, what it does and its help text,
// and what the mouse does. The window, F1, --help and the manual page read it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What a key does.
enum class KeyAction : uint8_t {
  None,  // a help line only (the mouse, digits and the command card have their own ways)
  Pause,
  Step,
  Faster,
  Slower,
  Help,
  Thoughts,
  Picture,
  Left,
  Right,
  Up,
  Down,
  Home,
  Minimap,
  Sight,
  Menu,
  Sound,
  Louder,
  Softer,
  SaveMatch,
  Chat,
  ReloadScripts,
  // In the replay viewer.
  Back,        // one frame back
  SecondBack,  // 100 frames
  SecondForward,
  TenBack,  // 1000 frames
  TenForward,
  ToStart,
  ToEnd,
  NextMark,
  TakeOver0,
  TakeOver1,
  TakeOverBoth,
  Last = TakeOverBoth,
};

// Key codes, valued as the toolkit's (Qt::Key), so that the window passes them as they come;
// letters and digits are their upper-case ASCII.
enum KeyCode : int32_t {
  kNoKey = 0,
  kKeySpace = 0x20,
  kKeyPlus = 0x2b,
  kKeyComma = 0x2c,
  kKeyMinus = 0x2d,
  kKeyPeriod = 0x2e,
  kKeyEqual = 0x3d,
  kKeyEscape = 0x01000000,
  kKeyTab = 0x01000001,
  kKeyReturn = 0x01000004,
  kKeyEnter = 0x01000005,
  kKeyPause = 0x01000008,
  kKeyHome = 0x01000010,
  kKeyEnd = 0x01000011,
  kKeyLeft = 0x01000012,
  kKeyUp = 0x01000013,
  kKeyRight = 0x01000014,
  kKeyDown = 0x01000015,
  kKeyF1 = 0x01000030,
  kKeyF3 = 0x01000032,
  kKeyF5 = 0x01000034,
  kKeyF6 = 0x01000035,
  kKeyF7 = 0x01000036,
  kKeyF12 = 0x0100003b,
};

// Modifiers a key row asks for.
enum KeyMods : uint8_t { kNoMods = 0, kShift = 1, kCtrl = 2, kAnyMods = 0xff };

// Where a key row holds.
enum class KeyWhen : uint8_t { Always, Replay, Network };

struct KeyRow {
  int32_t Code;  // kNoKey: a help line only
  uint8_t Mods;
  KeyWhen When;
  KeyAction Action;
  const char* Key;  // as shown; rows in a row with the same help text share one line
  const char* English;
};

inline constexpr auto kKeyRows = std::to_array<KeyRow>({
    {'P', kAnyMods, KeyWhen::Always, KeyAction::Pause, "P, Pause", "pause or resume the match"},
    {kKeyPause, kAnyMods, KeyWhen::Always, KeyAction::Pause, "P, Pause",
     "pause or resume the match"},
    {kKeyPeriod, kAnyMods, KeyWhen::Always, KeyAction::Step, ".", "one frame while paused"},
    {kKeyPlus, kAnyMods, KeyWhen::Always, KeyAction::Faster, "+, -",
     "game speed x1/4, x1/2, x1, x2, x4, x8"},
    {kKeyEqual, kAnyMods, KeyWhen::Always, KeyAction::Faster, "+, -",
     "game speed x1/4, x1/2, x1, x2, x4, x8"},
    {kKeyMinus, kAnyMods, KeyWhen::Always, KeyAction::Slower, "+, -",
     "game speed x1/4, x1/2, x1, x2, x4, x8"},
    {kKeyLeft, kAnyMods, KeyWhen::Always, KeyAction::Left, "Arrows", "move the camera while held"},
    {kKeyRight, kAnyMods, KeyWhen::Always, KeyAction::Right, "Arrows",
     "move the camera while held"},
    {kKeyUp, kAnyMods, KeyWhen::Always, KeyAction::Up, "Arrows", "move the camera while held"},
    {kKeyDown, kAnyMods, KeyWhen::Always, KeyAction::Down, "Arrows", "move the camera while held"},
    {kKeyHome, kAnyMods, KeyWhen::Always, KeyAction::Home, "Home, Space",
     "centre the view on your first base, else your first unit"},
    {kKeySpace, kAnyMods, KeyWhen::Always, KeyAction::Home, "Home, Space",
     "centre the view on your first base, else your first unit"},
    {kKeyTab, kAnyMods, KeyWhen::Always, KeyAction::Minimap, "Tab", "show or hide the minimap"},
    {'V', kNoMods, KeyWhen::Always, KeyAction::Sight, "V",
     "without a side of your own: show everything, side 0's or side 1's sight"},
    {kKeyF1, kAnyMods, KeyWhen::Always, KeyAction::Help, "F1", "this list"},
    {kKeyEscape, kAnyMods, KeyWhen::Always, KeyAction::Menu, "Escape, Menu button",
     "the game menu: new match, side, speed, replays, recordings, network, keys, quit"},
    {kKeyF3, kAnyMods, KeyWhen::Always, KeyAction::Thoughts, "F3",
     "show or hide every unit's thoughts"},
    {kKeyF12, kAnyMods, KeyWhen::Always, KeyAction::Picture, "F12",
     "save a picture of the view (Pictures/rtsdemo)"},
    {'M', kNoMods, KeyWhen::Always, KeyAction::Sound, "M", "sound off or on"},
    {'M', kShift, KeyWhen::Always, KeyAction::Louder, "Shift+M, Ctrl+M", "sound louder, softer"},
    {'M', kCtrl, KeyWhen::Always, KeyAction::Softer, "Shift+M, Ctrl+M", "sound louder, softer"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Mouse at an edge", "scroll the view"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Mouse wheel",
     "zoom x0.25 to x4 about the cursor"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Click or drag on the minimap",
     "move the view there"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Left click",
     "select the units under the cursor"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Left drag", "select the units in the box"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Shift+click or drag",
     "add to the selection"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Double click",
     "select every unit of that kind in view"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Ctrl+1 ... Ctrl+9",
     "store the selection as a group"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "1 ... 9",
     "select the group; twice quickly: centre the view on it"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Shift+1 ... Shift+9",
     "add the selection to the group"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Right click",
     "move, follow, or use the chosen attack or building"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Shift+right click",
     "the same order after the current one"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Base: right click",
     "its rally point, where the units it trains walk"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Attack / build box",
     "choose before the right click"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Q W E, A S D",
     "command card: what the selection builds or trains, then right click"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Click into the view",
     "gives the view the keys"},
    {kNoKey, kNoMods, KeyWhen::Always, KeyAction::None, "Typing in a box", "keys go to the box"},
    {kKeyLeft, kShift, KeyWhen::Replay, KeyAction::SecondBack, "Shift+Left/Right",
     "replay: one second back or forward"},
    {kKeyRight, kShift, KeyWhen::Replay, KeyAction::SecondForward, "Shift+Left/Right",
     "replay: one second back or forward"},
    {kKeyLeft, kCtrl, KeyWhen::Replay, KeyAction::TenBack, "Ctrl+Left/Right",
     "replay: ten seconds back or forward"},
    {kKeyRight, kCtrl, KeyWhen::Replay, KeyAction::TenForward, "Ctrl+Left/Right",
     "replay: ten seconds back or forward"},
    {kKeyComma, kNoMods, KeyWhen::Replay, KeyAction::Back, ",", "replay: one frame back"},
    {kKeyHome, kNoMods, KeyWhen::Replay, KeyAction::ToStart, "Home, End",
     "replay: the start or the end"},
    {kKeyEnd, kNoMods, KeyWhen::Replay, KeyAction::ToEnd, "Home, End",
     "replay: the start or the end"},
    {'N', kNoMods, KeyWhen::Replay, KeyAction::NextMark, "N",
     "replay: the next mark (the timeline's tooltip lists them)"},
    {kNoKey, kNoMods, KeyWhen::Replay, KeyAction::None, "Timeline click/drag",
     "replay: go to that moment"},
    {kKeyF5, kAnyMods, KeyWhen::Replay, KeyAction::TakeOver0, "F5, F6, F7",
     "replay: take over as side 0, as side 1, or both by the computer"},
    {kKeyF6, kAnyMods, KeyWhen::Replay, KeyAction::TakeOver1, "F5, F6, F7",
     "replay: take over as side 0, as side 1, or both by the computer"},
    {kKeyF7, kAnyMods, KeyWhen::Replay, KeyAction::TakeOverBoth, "F5, F6, F7",
     "replay: take over as side 0, as side 1, or both by the computer"},
    {'R', kCtrl, KeyWhen::Always, KeyAction::ReloadScripts, "Ctrl+R",
     "read the AI scripts again and start a new match with the same seed"},
    {'S', kCtrl, KeyWhen::Always, KeyAction::SaveMatch, "Ctrl+S",
     "save the match so far (Documents/rtsdemo)"},
    {kKeyReturn, kAnyMods, KeyWhen::Network, KeyAction::Chat, "Enter",
     "network match: chat to all (Enter sends, Escape cancels)"},
    {kKeyEnter, kAnyMods, KeyWhen::Network, KeyAction::Chat, "Enter",
     "network match: chat to all (Enter sends, Escape cancels)"},
});

// The row of a key pressed with mods (kShift | kCtrl) in the viewer or a network match, those
// rows first; null for a key without one.
const KeyRow* FindKey(int32_t code, uint8_t mods, bool replaying, bool network);

bool IsArrowKey(int32_t code);
// The digit 1 to 9 of a key, also with Shift on layouts that shift the digit row (X11 key
// codes 10 to 18); 0 for any other key.
int DigitOfKey(int32_t code, uint32_t scanCode, bool shift);

// One help line: the keys and what they do (English, for Tr's "keys" context).
struct KeyHelp {
  std::string Key;
  std::string English;
};
// The table's help lines, rows that share their help text merged.
std::vector<KeyHelp> KeyHelpLines();

// The help lines as an HTML table for F1's box, translated.
std::string KeyHelpTable();

// The key list for --help, one line a key, translated.
std::string KeysSummary();
