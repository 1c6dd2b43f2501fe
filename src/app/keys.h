// The keys of the window and what the mouse does, for F1 (translated) and --help.
#pragma once

#include <array>
#include <string>

struct KeyHelp {
  const char* Key;
  const char* English;
};

inline constexpr auto kKeyHelp = std::to_array<KeyHelp>({
    {"P, Pause", "pause or resume the match"},
    {".", "one frame while paused"},
    {"+, -", "game speed x1/4, x1/2, x1, x2, x4, x8"},
    {"Arrows", "move the camera while held"},
    {"Home, Space", "centre the view on your first base, else your first unit"},
    {"Tab", "show or hide the minimap"},
    {"F1", "this list"},
    {"Escape, Menu button",
     "the game menu: new match, side, speed, replays, recordings, network, keys, quit"},
    {"F3", "show or hide every unit's thoughts"},
    {"F12", "save a picture of the view (Pictures/rtsdemo)"},
    {"M", "sound off or on"},
    {"Shift+M, Ctrl+M", "sound louder, softer"},
    {"Mouse at an edge", "scroll the view"},
    {"Mouse wheel", "zoom x0.25 to x4 about the cursor"},
    {"Click or drag on the minimap", "move the view there"},
    {"Left click", "select the units under the cursor"},
    {"Left drag", "select the units in the box"},
    {"Shift+click or drag", "add to the selection"},
    {"Double click", "select every unit of that kind in view"},
    {"Ctrl+1 ... Ctrl+9", "store the selection as a group"},
    {"1 ... 9", "select the group; twice quickly: centre the view on it"},
    {"Shift+1 ... Shift+9", "add the selection to the group"},
    {"Right click", "move, follow, or use the chosen attack or building"},
    {"Attack / build box", "choose before the right click"},
    {"Q W E, A S D", "command card: what the selection builds or trains, then right click"},
    {"Click into the view", "gives the view the keys"},
    {"Typing in a box", "keys go to the box"},
    {"Shift+Left/Right", "replay: one second back or forward"},
    {"Ctrl+Left/Right", "replay: ten seconds back or forward"},
    {",", "replay: one frame back"},
    {"Home, End", "replay: the start or the end"},
    {"N", "replay: the next mark (the timeline's tooltip lists them)"},
    {"Timeline click/drag", "replay: go to that moment"},
    {"F5, F6, F7", "replay: take over as side 0, as side 1, or both by the computer"},
    {"Ctrl+S", "save the match so far (Documents/rtsdemo)"},
    {"Enter", "network match: chat to all (Enter sends, Escape cancels)"},
});

// The key list for --help, one line a key, translated.
std::string KeysSummary();
