// The session's view: what is drawn over the match and changes nothing in it (minimap, drag
// box, the sight shown, thoughts), the keys, the banner and the end-of-match view.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/group_taps.h"
#include "app/keys.h"
#include "app/match_state.h"
#include "app/overlays.h"

class Session;

// What the toolkit must still do after a key.
enum class KeyResult : uint8_t { Done, ShowHelp, SavePicture, ShowMenu };

class MatchView {
 public:
  explicit MatchView(Session& session) : s_(session) {}
  // The view changed size by the toolkit: viewport and projection; under a script or a
  // replay nothing more, else the resize's frame as the input "resize W H".
  void Resized();
  // The last frame's picture again (changes nothing).
  void Redraw();
  // The drawing takes the view's size; no frame runs.
  void TakeViewSize();
  // The view took a size the match does not see (an observer's window): the picture only.
  void ResizeDrawing();
  // After a command moved the camera: while paused the view is drawn again at once.
  void Moved();
  // Without a side of one's own, the view shows side s's sight (-1: everything); the banner
  // says so. Changes nothing in the match.
  void ChooseSight(int32_t side);
  // A key pressed or released; repeat: held down.
  KeyResult Key(KeyAction action, bool press, bool repeat);
  // The user's held keys are let go (the window lost the keyboard).
  void ReleaseKeys();
  // Digit key 1 to 9 at time ms: with ctrl stores the selection as that group, with shift adds
  // it, else recalls the group; the same digit again within 300 ms centres the camera on it.
  void GroupKey(int digit, bool ctrl, bool shift, int64_t ms);
  // The rectangle a left drag spans, drawn over the view until cleared (nullopt); view pixels,
  // y from the top. Changes nothing in the match.
  void SetDragBox(std::optional<ViewBox> box);
  // The mouse wheel at view pixel (x, y from the top): steps > 0 zoom in, < 0 out.
  void Wheel(int steps, int x, int y);
  // The minimap: shown or not (the window's Tab; changes nothing in the match), where it is,
  // and whether view pixel (x, y from the top) is on it.
  bool minimapShown() const { return overlays_.minimapShown(); }
  void SetMinimap(bool shown);
  MinimapLayout Minimap() const;
  bool OverMinimap(int x, int y) const;
  // A press or drag at view pixel (x, y from the top): on the shown minimap the camera looks
  // there ("look") and true; else false.
  bool MinimapPress(int x, int y);
  bool thoughtsShown() const { return thoughts_; }
  // The banner (UTF-8): the match or the start-up line, the pace, and a note.
  std::string Banner() const;
  void SetNote(const std::string& note) { note_ = note; }
  // The end of the match, from the frame one side has won until a choice is made; the match
  // is paused meanwhile.
  const std::optional<MatchEndView>& matchEnd() const { return matchEnd_; }
  // Lets the match run on.
  void KeepWatching();

 private:
  friend class Session;
  friend class ReplayViewer;

  // The overlays after a drawn frame or a redraw.
  void DrawOverlays();
  // After each frame: the end of the match, once.
  void FrameDone();
  void Clear();
  // Ctrl+R: the scripts read again from their files, then a new match with this one's seed.
  void ReloadScripts();

  Session& s_;
  Overlays overlays_;
  GroupTaps groupTaps_;
  bool thoughts_ = false;  // F3
  std::string note_;       // the banner's second line (UTF-8)
  std::optional<MatchEndView> matchEnd_;
  bool endShown_ = false;
  std::array<std::string, 2> scriptStops_;  // the sides' script stops the banner has told
};
