// The command table: each command's row (name, arguments, help, uses) with the handler that
// applies it to the session.
#include <climits>
#include <cmath>
#include <fstream>
#include <type_traits>
#include <variant>

#include "app/camera.h"
#include "app/command.h"
#include "app/dump.h"
#include "app/replay.h"
#include "app/selection.h"
#include "app/session.h"
#include "app/state_hash.h"
#include "game/object_fields.h"
#include "script/script_check.h"
#include "script/side_scripts.h"
#include "util/cp1251.h"
#include "util/echo_text.h"
#include "util/numtext.h"

namespace {

constexpr int64_t kI32Min = INT32_MIN;
constexpr int64_t kI32Max = INT32_MAX;

constexpr ArgSpec kButtonArgs[] = {{"N", ArgType::Int, 1, 3}};
constexpr ArgSpec kTickArgs[] = {{"N", ArgType::Int, 0, INT64_MAX, {}, true}};
constexpr ArgSpec kMoveArgs[] = {{"X", ArgType::Int, kI32Min, kI32Max},
                                 {"Y", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kDownArgs[] = {{"BUTTON", ArgType::Word, 0, 0, {"left", "right", "middle"}}};
constexpr ArgSpec kChooseArgs[] = {{"K", ArgType::Int, 1, 3}, {"I", ArgType::Int, -1, kI32Max}};
constexpr ArgSpec kCheckArgs[] = {{"K", ArgType::Int, 1, 2}, {"STATE", ArgType::Switch}};
constexpr ArgSpec kResizeArgs[] = {{"W", ArgType::Int, 1, 16384}, {"H", ArgType::Int, 1, 16384}};
constexpr ArgSpec kKeyArgs[] = {{"KEY", ArgType::Word, 0, 0, {"left", "right", "up", "down"}},
                                {"STATE", ArgType::Switch}};
constexpr ArgSpec kPlayAsArgs[] = {{"S", ArgType::Int, -1, 1}};
constexpr ArgSpec kMoneyArgs[] = {{"S", ArgType::Int, 0, 3}, {"V", ArgType::Real}};
constexpr ArgSpec kSpawnArgs[] = {{"R", ArgType::Int, kI32Min, kI32Max},
                                  {"K", ArgType::Int, kI32Min, kI32Max},
                                  {"S", ArgType::Int, kI32Min, kI32Max},
                                  {"X", ArgType::Real},
                                  {"Y", ArgType::Real},
                                  {"A", ArgType::Real}};
constexpr ArgSpec kSetArgs[] = {
    {"I", ArgType::Int, 0, kI32Max}, {"FIELD", ArgType::Field}, {"VALUE", ArgType::Field}};
constexpr ArgSpec kDumpArgs[] = {{"FILE", ArgType::File, 0, 0, {}, true}};
constexpr ArgSpec kSeedArgs[] = {{"A", ArgType::Int, 0, UINT32_MAX},
                                 {"B", ArgType::Int, 0, UINT32_MAX}};
constexpr ArgSpec kHashArgs[] = {{"H", ArgType::Hex, 0, 0, {}, true}};
constexpr ArgSpec kScreenshotArgs[] = {{"FILE", ArgType::File}};
constexpr ArgSpec kLevelArgs[] = {{"FILE", ArgType::Rest}};
constexpr ArgSpec kBoxArgs[] = {{"X1", ArgType::Int, kI32Min, kI32Max},
                                {"Y1", ArgType::Int, kI32Min, kI32Max},
                                {"X2", ArgType::Int, kI32Min, kI32Max},
                                {"Y2", ArgType::Int, kI32Min, kI32Max},
                                {"MODE", ArgType::Word, 0, 0, {"new", "add"}}};
constexpr ArgSpec kSameArgs[] = {{"X", ArgType::Int, kI32Min, kI32Max},
                                 {"Y", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kGroupArgs[] = {
    {"ACTION", ArgType::Word, 0, 0, {"store", "add", "recall", "centre"}},
    {"N", ArgType::Int, 1, 9}};
constexpr ArgSpec kSeekArgs[] = {{"F", ArgType::Int, 0, INT64_MAX}};
constexpr ArgSpec kCameraArgs[] = {{"BY", ArgType::Word, 0, 0, {"frames", "ticks"}}};
constexpr ArgSpec kScrollArgs[] = {{"N", ArgType::Int, 1, INT32_MAX, {}, true}};
constexpr ArgSpec kZoomArgs[] = {{"WAY", ArgType::Word, 0, 0, {"in", "out"}},
                                 {"X", ArgType::Int, kI32Min, kI32Max},
                                 {"Y", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kLookArgs[] = {{"X", ArgType::Int, kI32Min, kI32Max},
                                 {"Y", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kHomeArgs[] = {{"S", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kMinimapArgs[] = {{"STATE", ArgType::Switch}};
constexpr ArgSpec kBoundArgs[] = {{"STATE", ArgType::Switch}};
constexpr ArgSpec kPlayerArgs[] = {{"N", ArgType::Int, 0, 7}};
constexpr ArgSpec kStatsArgs[] = {{"FILE", ArgType::File, 0, 0, {}, true}};
constexpr ArgSpec kAiArgs[] = {{"S", ArgType::Int, 0, 1}, {"FILE", ArgType::Rest}};
constexpr ArgSpec kNewArgs[] = {{"SEED", ArgType::Int, 0, UINT32_MAX},
                                {"LEVEL", ArgType::Rest, 0, 0, {}, true}};

using K = CommandKind;

// Indexed by CommandKind.
const CommandSpec kCommands[] = {
    {K::Press, "press", kButtonArgs, "click a button (a disabled one ignores it)", kInput,
     [](Session& s, const Command& c, std::ostream&) { s.Press(static_cast<int>(c.Int(0))); }},
    {K::Tick, "tick", kTickArgs, "run N frames (1)", 0,
     [](Session& s, const Command& c, std::ostream&) {
       s.Frames(static_cast<uint64_t>(c.Has(0) ? c.Int(0) : 1));
     }},
    {K::Move, "move", kMoveArgs, "move the mouse to view pixels, y from the top", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       s.frontend().MyMouseCursor(static_cast<int>(c.Int(0)), static_cast<int>(c.Int(1)));
     }},
    {K::Down, "down", kDownArgs, "press a mouse button", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       s.frontend().MyMouseDown(static_cast<Frontend::Button>(c.Int(0)));
     }},
    {K::Choose, "choose", kChooseArgs, "choose item I of combo box K (-1: none)", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       const int k = static_cast<int>(c.Int(0));
       const int index = static_cast<int>(c.Int(1));
       Controls& w = s.frontend().controls();  // the player's own
       if (w.ComboIndex(k) != index) w.SetComboIndex(k, index);
     }},
    {K::Check, "check", kCheckArgs, "tick or untick check box K", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       const int k = static_cast<int>(c.Int(0));
       Controls& w = s.frontend().controls();
       if (w.Checked(k) != (c.Int(1) == 1)) w.SetChecked(k, c.Int(1) == 1);
     }},
    {K::Resize, "resize", kResizeArgs, "resize the view, which runs one frame", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       // Another player's view changes only that player's size.
       if (!s.frontend().ResizeOther(static_cast<int>(c.Int(0)), static_cast<int>(c.Int(1))))
         s.host().ResizeView(static_cast<int>(c.Int(0)), static_cast<int>(c.Int(1)));
       s.ResizeFrame();
     }},
    {K::Key, "key", kKeyArgs, "hold or release an arrow key (the camera moves 1 a frame)", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       static constexpr bool PlayerInput::*kHeld[] = {
           &PlayerInput::ArrowLeft, &PlayerInput::ArrowRight, &PlayerInput::ArrowUp,
           &PlayerInput::ArrowDown};
       s.frontend().player().*kHeld[c.Int(0)] = c.Int(1) == 1;
     }},
    {K::PlayAs, "play-as", kPlayAsArgs, "the computer plays only the other side of S (-1: both)",
     kInput,
     [](Session& s, const Command& c, std::ostream&) {
       s.frontend().player().PlayAs = static_cast<int32_t>(c.Int(0));
     }},
    {K::Money, "money", kMoneyArgs, "set side S's treasury", kChanges,
     [](Session& s, const Command& c, std::ostream&) {
       s.world().Sides[static_cast<size_t>(c.Int(0))].Money = c.Real(1);
     }},
    {K::Spawn, "spawn", kSpawnArgs, "add an object of race R, kind K, side S at X, Y heading A",
     kChanges,
     [](Session& s, const Command& c, std::ostream&) {
       if (!SpawnObject(s.world(), static_cast<int32_t>(c.Int(0)), static_cast<int32_t>(c.Int(1)),
                        static_cast<int32_t>(c.Int(2)), c.Real(3), c.Real(4), c.Real(5))) {
         throw CommandError{"no type " + IntToStr(c.Int(0)) + "," + IntToStr(c.Int(1)) +
                            " in the catalogue"};
       }
     }},
    {K::Set, "set", kSetArgs, "set a field of object I (texts take the rest of the line)", kChanges,
     [](Session& s, const Command& c, std::ostream&) {
       World& world = s.world();
       const int64_t index = c.Int(0);
       if (static_cast<uint64_t>(index) >= world.Objects.size())
         throw CommandError{"no object " + IntToStr(index)};
       TObyekt& o = ObjectAt(world, static_cast<int32_t>(index));
       for (const Field<TObyekt>& field : kObjectFields) {
         if (!(field.Uses & kSettable)) continue;
         const bool isList = std::holds_alternative<std::vector<float> TObyekt::*>(field.Member);
         if (c.Text(1) != (isList ? std::string(field.Name) + "0" : std::string(field.Name)))
           continue;
         std::visit(
             [&](auto member) {
               auto& value = o.*member;
               using V = std::decay_t<decltype(value)>;
               if constexpr (std::is_same_v<V, std::string>) {
                 value = ToCp1251(c.Rest);
               } else if constexpr (std::is_same_v<V, float>) {
                 value = c.Real(2);
               } else if constexpr (std::is_same_v<V, std::vector<float>>) {
                 if (value.empty()) value.push_back(0);
                 value[0] = c.Real(2);
               } else if constexpr (std::is_same_v<V, bool>) {
                 value = c.Int(2) == 1;
               } else if constexpr (std::is_same_v<V, int32_t>) {
                 value = static_cast<int32_t>(c.Int(2));
               } else {
                 throw CommandError{"field '" + c.Text(1) + "' cannot be set"};
               }
             },
             field.Member);
         return;
       }
     }},
    {K::Dump, "dump", kDumpArgs, "the whole state as JSON", 0,
     [](Session& s, const Command& c, std::ostream& out) {
       const std::string text = DumpState(s.frontend(), s.platform().messages).dump();
       if (!c.Has(0)) {
         out << text << std::endl;
         return;
       }
       std::ofstream file(c.Text(0));
       file << text << '\n';
       if (!file) throw CommandError{"cannot write " + EchoText(c.Text(0))};
     }},
    {K::Seed, "seed", kSeedArgs, "the two seeds, before the first frame", 0,
     [](Session& s, const Command& c, std::ostream&) {
       // Stands for the two clock readings: window creation and first frame.
       if (s.frontend().state().Frames != 0 || !s.frontend().state().FirstFrame)
         throw CommandError{"seed after the first frame"};
       s.world().Rng.Seed = static_cast<uint32_t>(c.Int(0));
       s.platform().nextSeed = static_cast<uint32_t>(c.Int(1));
     }},
    {K::Hash, "hash", kHashArgs, "print the state hash, or stop with status 3 when it differs", 0,
     [](Session& s, const Command& c, std::ostream& out) {
       const std::string now = HashText(StateHash(s.frontend()));
       if (!c.Has(0)) {
         out << now << std::endl;
       } else if (c.Text(0) != now) {
         throw OutOfSync{s.frontend().state().Frames};
       }
     }},
    {K::Screenshot, "screenshot", kScreenshotArgs, "the view as PNG (window only)", 0,
     [](Session& s, const Command& c, std::ostream&) {
       std::string error;
       if (!s.host().Screenshot(c.Text(0), error)) throw CommandError{error};
     }},
    {K::Level, "level", kLevelArgs,
     "the level file (or a shipped level's name) press 2 creates instead of the test level", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       // Types are looked up when press 2 creates it.
       if (!s.controls().ButtonEnabled(2)) throw CommandError{"level after press 2"};
       s.frontend().SetLevel(ReadLevelOrThrow(c.Text(0)));
     }},
    {K::Box, "box", kBoxArgs, "select the units in a box of view pixels (add: keep the selection)",
     kInput,
     [](Session& s, const Command& c, std::ostream&) {
       Frontend& f = s.frontend();
       const ViewBox box{static_cast<int32_t>(c.Int(0)), static_cast<int32_t>(c.Int(1)),
                         static_cast<int32_t>(c.Int(2)), static_cast<int32_t>(c.Int(3))};
       SelectBox(f.world(), f.state(), f.zoom(), f.controls(), f.player().PlayAs, box,
                 c.Int(4) == 1);
     }},
    {K::Same, "same", kSameArgs, "select every unit in view of the type and side at X, Y", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       Frontend& f = s.frontend();
       SelectSameInView(f.world(), f.state(), f.zoom(), f.controls(), f.player().PlayAs,
                        static_cast<int32_t>(c.Int(0)), static_cast<int32_t>(c.Int(1)));
     }},
    {K::Group, "group", kGroupArgs,
     "control group N: store or add the selection, select it, centre the view on it", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       Frontend& f = s.frontend();
       const auto action = static_cast<GroupAction>(c.Int(0));
       ApplyGroup(f.world(), f.state(), f.zoom(), f.groups(), f.controls(), action,
                  static_cast<int>(c.Int(1)));
       if (action == GroupAction::Centre) {
         f.KeepOnGround();
         s.view().Moved();
       }
     }},
    {K::Seek, "seek", kSeekArgs,
     "with --replay: go to frame F of the recording, forward or back (tick plays it on)", 0,
     [](Session& s, const Command& c, std::ostream&) {
       if (!s.viewer().playing()) throw CommandError{"seek needs a recording (--replay FILE)"};
       if (s.viewer().player()->busy()) throw CommandError{"seek inside the recording it plays"};
       if (!s.viewer().Seek(static_cast<uint64_t>(c.Int(0))))
         throw OutOfSync{*s.viewer().player()->failedFrame()};
     }},
    {K::Camera, "camera", kCameraArgs,
     "who moves the camera: each frame (as at x1), or only the scroll steps", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       s.frontend().view().TickScroll = c.Int(0) == 1;
     }},
    {K::Scroll, "scroll", kScrollArgs,
     "N steps of edge scrolling and held arrows (1), as a timer tick takes one", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       const int64_t n = c.Has(0) ? c.Int(0) : 1;
       for (int64_t i = 0; i < n && s.frontend().WouldScroll(); ++i) s.frontend().ScrollStep();
       s.view().Moved();
     }},
    {K::Zoom, "zoom", kZoomArgs, "zoom by sqrt(2) about view pixel X, Y (x0.25 to x4)", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       Frontend& f = s.frontend();
       ZoomAbout(f.state(), f.view(), c.Int(0) == 0 ? 1 : -1, static_cast<double>(c.Int(1)),
                 static_cast<double>(f.controls().ViewHeight() - c.Int(2)));
       f.KeepOnGround();
       s.view().Moved();
     }},
    {K::Home, "home", kHomeArgs, "centre the view on side S's first base, else its first unit",
     kInput,
     [](Session& s, const Command& c, std::ostream&) {
       Frontend& f = s.frontend();
       const std::optional<int32_t> home = HomeObject(f.world(), static_cast<int32_t>(c.Int(0)));
       if (!home) return;
       const TObyekt& o = ObjectAt(f.world(), *home);
       CentreOn(f.state(), f.zoom(), f.controls().ViewWidth(), f.controls().ViewHeight(),
                std::round(o.X), std::round(o.Y));
       f.KeepOnGround();
       s.view().Moved();
     }},
    {K::Look, "look", kLookArgs, "centre the view on world point X, Y (the minimap)", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       Frontend& f = s.frontend();
       CentreOn(f.state(), f.zoom(), f.controls().ViewWidth(), f.controls().ViewHeight(),
                static_cast<double>(c.Int(0)), static_cast<double>(c.Int(1)));
       // The camera went where the player pointed: edge scrolling stops.
       f.state().ScrollTicks = 0;
       f.KeepOnGround();
       s.view().Moved();
     }},
    {K::Minimap, "minimap", kMinimapArgs, "show or hide the minimap (changes no state)", 0,
     [](Session& s, const Command& c, std::ostream&) { s.view().SetMinimap(c.Int(0) == 1); }},
    {K::Bound, "bound", kBoundArgs,
     "keep at least a fifth of the view over the ground (the window turns it on when needed)",
     kInput,
     [](Session& s, const Command& c, std::ostream&) {
       s.frontend().view().Bounded = c.Int(0) == 1;
       s.frontend().KeepOnGround();
       s.view().Moved();
     }},
    {K::New, "new", kNewArgs,
     "a new match with seed SEED: the level given (a file or a shipped level's name), else the "
     "same level again; the data stay loaded",
     kInput,
     [](Session& s, const Command& c, std::ostream&) {
       s.StartNewMatch(static_cast<uint32_t>(c.Int(0)), c.Has(1) ? c.Text(1) : std::string());
     }},
    {K::Player, "player", kPlayerArgs,
     "the inputs that follow are player N's (a match of several players)", kInput,
     [](Session& s, const Command& c, std::ostream&) {
       s.frontend().SetInputPlayer(static_cast<size_t>(c.Int(0)));
     }},
    {K::Leave,
     "leave",
     {},
     "the mouse left the view: nothing is under the cursor until a move",
     kInput,
     [](Session& s, const Command&, std::ostream&) { s.frontend().MyMouseLeave(); }},
    {K::Queue,
     "queue",
     {},
     "a right click whose order waits until the current one ends (Shift+right click)",
     kInput,
     [](Session& s, const Command&, std::ostream&) { s.frontend().QueueClick(); }},
    {K::Rally,
     "rally",
     {},
     "a right click that sets the rally point of the selected buildings that train units; the "
     "other selected units get its order",
     kInput,
     [](Session& s, const Command&, std::ostream&) { s.frontend().RallyClick(); }},
    {K::Blind,
     "blind",
     {},
     "the right click just given takes no object under the cursor (the fog of war hides it)",
     kInput,
     [](Session& s, const Command&, std::ostream&) { s.frontend().state().Blind = true; }},
    {K::Ai, "ai", kAiArgs,
     "side S is played by the AI script FILE (a shipped name such as easy.lua, or a path) from "
     "its next turn; FILE -: by the built-in opponent again",
     kInput,
     [](Session& s, const Command& c, std::ostream&) {
       const int32_t side = static_cast<int32_t>(c.Int(0));
       if (c.Text(1) == "-") {
         if (SideScripts* scripts = s.frontend().scripts()) scripts->Clear(side);
         return;
       }
       std::string problem;
       std::optional<AiFile> file = ReadAiFile(c.Text(1), problem);
       if (!file) throw CommandError{problem};
       DataProblems problems;
       CheckAiScript(*file, problems);
       for (const DataProblem& p : problems)
         if (p.Error) throw CommandError{FormatProblem(p)};
       s.frontend().UseScripts().Assign(side, std::move(*file));
     }},
    {K::Stats, "stats", kStatsArgs,
     "the match's figures once a second since the level's creation, as CSV (FILE: to a file)", 0,
     [](Session& s, const Command& c, std::ostream& out) {
       const MatchObserver* observer = s.match().observer();
       if (!observer) throw CommandError{"stats before press 2"};
       if (!c.Has(0)) {
         WriteStatsCsv(observer->figures().Stats, out);
         return;
       }
       std::ofstream file(c.Text(0));
       WriteStatsCsv(observer->figures().Stats, file);
       if (!file) throw CommandError{"cannot write " + EchoText(c.Text(0))};
     }},
};
static_assert(std::size(kCommands) == kCommandKinds, "a row for every command kind");

}  // namespace

const std::span<const CommandSpec> CommandTable() {
  return kCommands;
}
