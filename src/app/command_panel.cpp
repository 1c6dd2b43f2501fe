#include "app/command_panel.h"

#include <cstddef>
#include <string>

#include "app/camera.h"
#include "app/texts.h"
#include "game/order_language.h"
#include "game/picking.h"
#include "game/rally.h"
#include "util/numtext.h"

namespace {

// Modes of a right click.
enum : int32_t { kMove = 0, kAttack = 1, kFollow = 2, kBuild = 3, kUpgrade = 4 };

// Combo box numbers.
constexpr int kAttackCombo = 1;
constexpr int kBuildCombo = 2;
constexpr int kUpgradeCombo = 3;

// Which combo's chosen entry sets which mode; later rows win.
struct ComboMode {
  int combo;
  int32_t mode;
};
constexpr ComboMode kComboModes[] = {
    {kAttackCombo, kAttack}, {kBuildCombo, kBuild}, {kUpgradeCombo, kUpgrade}};

// The world point under the cursor; double keeps the sum exact before rounding.
struct WorldPoint {
  double x;
  double y;
};

WorldPoint CursorPoint(const FrontState& s, float zoom) {
  const WorldPoint2 p = ViewToWorld(s, zoom, s.MouseX, s.MouseY);
  return {p.X, p.Y};
}

// The cursor point rounded half to even, as orders carry it.
IntPoint Rounded(WorldPoint p) {
  return {RoundHalfEven(p.x), RoundHalfEven(p.y)};
}

// The type named by build combo entry k in the builder's own list, last match of its race;
// -1 when k is outside that list or no type bears the name.
int32_t FindBuildType(const World& w, const TObyekt& builder, const TOpisan& own, int k) {
  if (k < 0 || static_cast<size_t>(k) >= own.Buildables.size()) return -1;
  const std::string& wanted = own.Buildables[static_cast<size_t>(k)];
  const auto& types = w.Catalogue[static_cast<size_t>(builder.Rassa)].Types;
  int32_t t = -1;
  for (size_t j = 0; j < types.size(); ++j) {
    if (types[j].Name == wanted) t = static_cast<int32_t>(j);
  }
  return t;
}

void GiveBuildOrder(World& w, const Controls& c, TObyekt& o, WorldPoint p) {
  const TOpisan* own = TypeOf(w, o);
  // A builder without a type of its own gets no order.
  if (own == nullptr) return;
  const int32_t t = FindBuildType(w, o, *own, c.ComboIndex(kBuildCombo));
  if (t < 0) return;
  const IntPoint at = Rounded(p);
  o.Thought1 = WalkOrder(at.X, at.Y);
  o.Thought2 = BuildOrder(t, at.X, at.Y);
  o.BuildProgress = 0;
  if (own->Speeds.empty()) {
    // A building puts the site beside itself.
    const IntPoint site = BuildSiteNear(w.Rng, o);
    o.Thought1.clear();
    o.Thought2 = BuildOrder(t, site.X, site.Y);
  }
}

}  // namespace

void FillCombos(Controls& c, const TOpisan& type) {
  c.ComboClear(kAttackCombo);
  for (const TUdar& a : type.Attacks) {
    c.ComboAdd(kAttackCombo,
               a.Name + CP1251(" (сила ") + FloatToStrG15(static_cast<double>(a.Strength)) + ")");
  }
  c.ComboClear(kBuildCombo);
  for (const std::string& name : type.Buildables) c.ComboAdd(kBuildCombo, name);
  c.ComboClear(kUpgradeCombo);
  for (const TUpgrade& u : type.Upgrades) c.ComboAdd(kUpgradeCombo, u.Name);
  for (int k : {kAttackCombo, kBuildCombo, kUpgradeCombo}) c.SetComboIndex(k, -1);
  for (int k : {kAttackCombo, kBuildCombo, kUpgradeCombo}) {
    c.SetComboText(k, ToCp1251(kComboTexts[static_cast<size_t>(k - 1)]));
  }
}

void UpdateCommandMode(const Controls& c, FrontState& s) {
  for (const ComboMode& m : kComboModes) {
    if (c.ComboIndex(m.combo) >= 0) s.ClickCommand = m.mode;
  }
}

void ClearSelectionOnClick(const FrontState& s, World& w) {
  if (!s.LeftClicked) return;
  for (TObyekt& o : w.Objects) o.Selected = false;
}

bool Selectable(const TObyekt& o, int32_t ownSide) {
  return IsAlive(o) && (ownSide < 0 || o.Side == ownSide);
}

Hover HoverPass(World& w, FrontState& s, Controls& c, int32_t ownSide, float zoom) {
  Hover hover;
  hover.MarkerKind = s.ClickCommand == kAttack ? 1 : 0;
  s.HoverIndex = -1;
  if (s.CursorOut) return hover;
  const WorldPoint p = CursorPoint(s, zoom);
  const float cx = static_cast<float>(p.x);
  const float cy = static_cast<float>(p.y);
  for (size_t n = 0; n < w.Objects.size(); ++n) {
    const int32_t i = static_cast<int32_t>(n);
    // IsUnderCursor refuses objects whose type is missing.
    if (!IsAlive(w.Objects[n]) || !IsUnderCursor(w, i, cx, cy)) continue;
    s.HoverIndex = i;
    hover.Under.push_back(i);
    if (s.LeftClicked && Selectable(w.Objects[n], ownSide)) {
      w.Objects[n].Selected = true;
      FillCombos(c, *TypeOf(w, w.Objects[n]));
    }
  }
  return hover;
}

void FollowMode(FrontState& s) {
  if (s.RightClicked && !s.Blind && s.ClickCommand == kMove && s.HoverIndex >= 0)
    s.ClickCommand = kFollow;
}

bool SetsRally(const World& w, const TObyekt& o, int32_t ownSide) {
  const TOpisan* type = TypeOf(w, o);
  return type != nullptr && TrainsUnits(*type) && IsAlive(o) &&
         (ownSide < 0 ? IsPlayerSide(o.Side) : o.Side == ownSide);
}

void GiveOrders(World& w, FrontState& s, Controls& c, float zoom, int32_t ownSide,
                std::vector<QueuedOrder>* queued) {
  if (!s.RightClicked) return;
  const WorldPoint p = CursorPoint(s, zoom);
  auto& objects = w.Objects;
  for (size_t n = 0; n < objects.size(); ++n) {
    TObyekt& o = objects[n];
    if (!o.Selected) continue;
    // A blind click finds nothing under the cursor.
    const int32_t target = s.Blind ? -1 : s.HoverIndex;
    const bool otherTarget = target >= 0 && static_cast<size_t>(target) != n;
    const bool moving = s.ClickCommand == kMove || s.ClickCommand == kFollow;
    if (s.Rally && moving && SetsRally(w, o, ownSide)) {
      const IntPoint at = Rounded(p);
      SetRally(w, static_cast<int32_t>(n), at.X, at.Y);
      // The follow mode ends on the first selected object, as an order would end it.
      s.ClickCommand = kMove;
      continue;
    }
    // A queued click writes the next-order slot and leaves the current order alone.
    std::string& slot = s.Queued ? o.Thought2 : o.Thought1;
    const std::string before = slot;
    const auto keepNext = [&] {
      if (!s.Queued) o.Thought2.clear();
    };
    switch (s.ClickCommand) {
      case kMove: {
        const IntPoint at = Rounded(p);
        slot = WalkOrder(at.X, at.Y);
        keepNext();
        break;
      }
      case kAttack:
        if (otherTarget) slot = AttackOrder(target);
        o.AttackIndex = c.ComboIndex(kAttackCombo);
        s.ClickCommand = kMove;
        c.SetComboIndex(kAttackCombo, -1);
        keepNext();
        break;
      case kFollow:
        if (otherTarget) slot = FollowOrder(target);
        s.ClickCommand = kMove;
        keepNext();
        break;
      case kBuild:
        // A build takes both slots: queued or not, it is the ordinary build order.
        GiveBuildOrder(w, c, o, p);
        c.SetComboIndex(kBuildCombo, -1);
        s.ClickCommand = kMove;
        continue;
      default:  // upgrade and unknown modes: a right click does nothing
        continue;
    }
    if (s.Queued && queued != nullptr && o.Thought2 != before) {
      const int32_t i = static_cast<int32_t>(n);
      std::erase_if(*queued, [i](const QueuedOrder& q) { return q.Object == i; });
      queued->push_back({i, o.Thought2});
    }
  }
}

void FillReadout(const World& w, const FrontState& s, Controls& c) {
  c.ListAdd(CP1251("Первая расса: $") + IntToStr(RoundHalfEven(w.Sides[0].Money)));
  c.ListAdd(CP1251("Вторая расса: $") + IntToStr(RoundHalfEven(w.Sides[1].Money)));
  c.ListAdd(CP1251("Третья расса: $") + IntToStr(RoundHalfEven(w.Sides[2].Money)));
  c.ListAdd(CP1251("Команда при клике: ") + IntToStr(s.ClickCommand));
  c.ListAdd(CP1251("Под курсором: ") + IntToStr(s.HoverIndex));
  c.ListAdd(" ");
  const TObyekt* h = nullptr;
  if (s.HoverIndex >= 0 && static_cast<size_t>(s.HoverIndex) < w.Objects.size()) {
    h = &ObjectAt(w, s.HoverIndex);
  }
  if (h != nullptr) {
    const TOpisan* type = TypeOf(w, *h);
    c.ListAdd(CP1251("Это ") + (type != nullptr ? type->Name : std::string()));
    c.ListAdd(CP1251("Мысль 1: ") + h->Thought1);
    c.ListAdd(CP1251("Мысль 2: ") + h->Thought2);
    if (!h->Cargo.empty()) c.ListAdd(CP1251("Ресурс: ") + IntToStr(RoundHalfEven(h->Cargo[0])));
  } else {
    c.ListAdd(CP1251("Наведите курсор на юнит,"));
    c.ListAdd(CP1251("чтобы узнать его мысли"));
  }
}
