#include "app/selection.h"

#include <algorithm>
#include <cmath>

#include "app/camera.h"
#include "app/command_panel.h"
#include "game/picking.h"

namespace {

// The world point at view pixel (x, y from the top), as the cursor's.
struct Point {
  float x;
  float y;
};

Point ToWorld(const FrontState& s, float zoom, const Controls& c, int32_t x, int32_t y) {
  const WorldPoint2 p = ViewToWorld(s, zoom, x, c.ViewHeight() - y);
  return {static_cast<float>(p.X), static_cast<float>(p.Y)};
}

bool Inside(const TObyekt& o, Point a, Point b) {
  return o.X >= std::min(a.x, b.x) && o.X <= std::max(a.x, b.x) && o.Y >= std::min(a.y, b.y) &&
         o.Y <= std::max(a.y, b.y);
}

// The combos show the lists of the selected object of highest index, as a click leaves them.
void FillFromSelection(World& w, Controls& c) {
  for (size_t n = w.Objects.size(); n-- > 0;) {
    const TObyekt& o = w.Objects[n];
    if (!o.Selected || !IsAlive(o)) continue;
    if (const TOpisan* type = TypeOf(w, o)) FillCombos(c, *type);
    return;
  }
}

void Deselect(World& w) {
  for (TObyekt& o : w.Objects) o.Selected = false;
}

}  // namespace

void SelectBox(World& w, FrontState& s, float zoom, Controls& c, int32_t ownSide, ViewBox box,
               bool add) {
  const Point a = ToWorld(s, zoom, c, box.X1, box.Y1);
  const Point b = ToWorld(s, zoom, c, box.X2, box.Y2);
  if (!add) {
    Deselect(w);
    s.LeftClicked = false;
  }
  bool found = false;
  for (TObyekt& o : w.Objects) {
    if (!Selectable(o, ownSide) || !Inside(o, a, b)) continue;
    o.Selected = true;
    found = true;
  }
  if (found) FillFromSelection(w, c);
}

void SelectSameInView(World& w, FrontState& s, float zoom, Controls& c, int32_t ownSide, int32_t x,
                      int32_t y) {
  const Point p = ToWorld(s, zoom, c, x, y);
  int32_t hit = -1;
  for (size_t n = 0; n < w.Objects.size(); ++n) {
    const int32_t i = static_cast<int32_t>(n);
    if (Selectable(w.Objects[n], ownSide) && IsUnderCursor(w, i, p.x, p.y)) hit = i;
  }
  if (hit < 0) return;
  const TObyekt& model = ObjectAt(w, hit);
  const int32_t race = model.Rassa, kind = model.Kind, side = model.Side;
  const Point a = ToWorld(s, zoom, c, 0, 0);
  const Point b = ToWorld(s, zoom, c, c.ViewWidth(), c.ViewHeight());
  Deselect(w);
  s.LeftClicked = false;
  for (TObyekt& o : w.Objects) {
    o.Selected = Selectable(o, ownSide) && o.Rassa == race && o.Kind == kind && o.Side == side &&
                 Inside(o, a, b);
  }
  FillFromSelection(w, c);
}

void ApplyGroup(World& w, FrontState& s, float zoom, ControlGroups& g, Controls& c,
                GroupAction action, int n) {
  std::vector<int32_t>& group = g.Groups[static_cast<size_t>(n - 1)];
  std::erase_if(group, [&](int32_t i) {
    return static_cast<size_t>(i) >= w.Objects.size() || !IsAlive(ObjectAt(w, i));
  });
  switch (action) {
    case GroupAction::Store:
    case GroupAction::Add:
      if (action == GroupAction::Store) group.clear();
      for (size_t k = 0; k < w.Objects.size(); ++k) {
        if (w.Objects[k].Selected && IsAlive(w.Objects[k]))
          group.push_back(static_cast<int32_t>(k));
      }
      std::sort(group.begin(), group.end());
      group.erase(std::unique(group.begin(), group.end()), group.end());
      break;
    case GroupAction::Recall:
      // An empty group leaves the selection as it is.
      if (group.empty()) break;
      Deselect(w);
      for (int32_t i : group) ObjectAt(w, i).Selected = true;
      FillFromSelection(w, c);
      break;
    case GroupAction::Centre: {
      if (group.empty()) break;
      double x = 0, y = 0;
      for (int32_t i : group) {
        x += ObjectAt(w, i).X;
        y += ObjectAt(w, i).Y;
      }
      const double count = static_cast<double>(group.size());
      CentreOn(s, zoom, c.ViewWidth(), c.ViewHeight(), std::round(x / count),
               std::round(y / count));
      break;
    }
  }
}
