#include "ui/command_panel.h"

#include "ui/texts.h"
#include "util/numtext.h"

void UpdateCommandMode(Frontend&) {}
void ClearSelectionOnClick(Frontend&) {}
void HoverPass(Frontend&) {}
void FollowMode(Frontend&) {}
void GiveOrders(Frontend&) {}

void FillReadout(Frontend& f) {
  Controls& c = f.controls();
  const World& w = f.world();
  const FrontState& s = f.state();
  c.ListAdd(CP1251("Первая расса: $") + IntToStr(RoundHalfEven(w.Sides[0].Money)));
  c.ListAdd(CP1251("Вторая расса: $") + IntToStr(RoundHalfEven(w.Sides[1].Money)));
  c.ListAdd(CP1251("Третья расса: $") + IntToStr(RoundHalfEven(w.Sides[2].Money)));
  c.ListAdd(CP1251("Команда при клике: ") + IntToStr(s.ClickCommand));
  c.ListAdd(CP1251("Под курсором: ") + IntToStr(s.HoverIndex));
  c.ListAdd(" ");
  const TObyekt* h = nullptr;
  if (s.HoverIndex >= 0 && static_cast<size_t>(s.HoverIndex) < w.Objects.size()) {
    h = &w.Objects[static_cast<size_t>(s.HoverIndex)];
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
