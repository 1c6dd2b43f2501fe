#include "app/dump.h"

#include <cmath>
#include <type_traits>
#include <variant>

#include "app/front_fields.h"
#include "app/state_hash.h"
#include "game/object_fields.h"
#include "util/cp1251.h"
#include "util/numtext.h"

using nlohmann::json;

namespace {

// Floats as the shortest text that reads back to the same single; NaN and infinities as text.
json F(float v) {
  if (std::isnan(v) || std::isinf(v)) return FloatToShortest(v);
  return json::parse(FloatToShortest(v));
}

json S(const std::string& cp1251) {
  return ToUtf8(cp1251);
}

json Floats(const std::vector<float>& values) {
  json a = json::array();
  for (float v : values) a.push_back(F(v));
  return a;
}

json Strings(const std::vector<std::string>& values) {
  json a = json::array();
  for (const auto& v : values) a.push_back(S(v));
  return a;
}

json Cena(const TCena& c) {
  return {{"Name", S(c.Name)}, {"Amount", F(c.Amount)}, {"Param3", F(c.Param3)}};
}
json Kolvo(const TKolvo& k) {
  return {{"Name", S(k.Name)}, {"Count", F(k.Count)}};
}

template <typename T, typename Fn>
json Map(const std::vector<T>& values, Fn fn) {
  json a = json::array();
  for (const auto& v : values) a.push_back(fn(v));
  return a;
}

json Type(const TOpisan& t) {
  json j;
  j["Name"] = S(t.Name);
  j["SecondName"] = S(t.SecondName);
  j["Textures"] = t.Textures;
  j["Animations"] = Map(t.Animations, [](const TKadri& k) {
    return json{{"TextureIndex", k.TextureIndex}, {"Frames", k.Frames}};
  });
  j["Radius"] = F(t.Radius);
  j["SheetWidth"] = t.SheetWidth;
  j["SheetHeight"] = t.SheetHeight;
  j["FrameWidth"] = t.FrameWidth;
  j["FrameHeight"] = t.FrameHeight;
  j["Energies"] = Map(t.Energies, [](const TEnergia& e) {
    return json{{"Name", S(e.Name)}, {"Value", F(e.Value)}, {"Param3", F(e.Param3)}};
  });
  j["Speeds"] = Floats(t.Speeds);
  j["Attacks"] = Map(t.Attacks, [](const TUdar& u) {
    return json{{"Name", S(u.Name)},
                {"Param2", S(u.Param2)},
                {"Strength", F(u.Strength)},
                {"Param4", S(u.Param4)},
                {"Param5", F(u.Param5)}};
  });
  j["Buildables"] = Strings(t.Buildables);
  j["Repairs"] = Strings(t.Repairs);
  j["Mining"] = Map(t.Mining, [](const TDobicha& d) {
    return json{{"Name", S(d.Name)}, {"Capacity", F(d.Capacity)}, {"Param3", F(d.Param3)}};
  });
  j["Upgrades"] = Map(t.Upgrades, [](const TUpgrade& u) {
    return json{{"Name", S(u.Name)},
                {"Resources", Map(u.Resources, Cena)},
                {"ObjectCounts", Map(u.ObjectCounts, Kolvo)}};
  });
  j["PriceResources"] = Map(t.PriceResources, Cena);
  j["PriceObjects"] = Map(t.PriceObjects, Kolvo);
  j["IsResource"] = t.IsResource;
  j["ResourceAmount"] = F(t.ResourceAmount);
  return j;
}

// Every dumped field of a record, under its own name.
template <typename R, size_t N>
void DumpFields(json& j, const R& record, const std::array<Field<R>, N>& table) {
  for (const Field<R>& field : table) {
    if (!(field.Uses & kDumped)) continue;
    std::visit(
        [&](auto member) {
          const auto& value = record.*member;
          using V = std::decay_t<decltype(value)>;
          json& out = j[std::string(field.Name)];
          if constexpr (std::is_same_v<V, float>) {
            out = F(value);
          } else if constexpr (std::is_same_v<V, std::string>) {
            out = S(value);
          } else if constexpr (std::is_same_v<V, std::vector<float>>) {
            out = Floats(value);
          } else {
            out = value;
          }
        },
        field.Member);
  }
}

json Object(const TObyekt& o) {
  json j = json::object();
  DumpFields(j, o, kObjectFields);
  return j;
}

}  // namespace

json DumpState(Frontend& f, const std::vector<ShownMessage>& messages) {
  Controls& c = f.controls();
  const World& w = f.world();
  const FrontState& s = f.state();
  json j;
  DumpFields(j, s, kFrontFields);
  j["Hash"] = HashText(StateHash(f));
  // The player's inputs once used, as the hash takes them.
  const PlayerInput& p = f.player();
  if (p != PlayerInput{}) {
    j["PlayAs"] = p.PlayAs;
    j["Arrows"] = {
        {"Left", p.ArrowLeft}, {"Right", p.ArrowRight}, {"Up", p.ArrowUp}, {"Down", p.ArrowDown}};
  }
  for (int n = 1; n <= 2; ++n) {
    j["Button" + std::to_string(n)] = {{"Enabled", c.ButtonEnabled(n)},
                                       {"Caption", S(c.ButtonCaption(n))}};
  }
  j["CheckBox1"] = c.Checked(1);
  j["CheckBox2"] = c.Checked(2);
  for (int k = 1; k <= 3; ++k) {
    j["ComboBox" + std::to_string(k)] = {{"Items", Strings(c.ComboItems(k))},
                                         {"ItemIndex", c.ComboIndex(k)},
                                         {"Text", S(c.ComboText(k))}};
  }
  j["ListBox1"] = Strings(c.ListLines());
  j["Panel3"] = {c.ViewWidth(), c.ViewHeight()};
  j["Sides"] = json::array();
  for (const TSide& side : w.Sides) j["Sides"].push_back(F(side.Money));
  j["GroundTexture"] = w.GroundTexture;
  j["Objects"] = Map(w.Objects, Object);
  j["Catalogue"] = Map(w.Catalogue, [](const TRassa& r) {
    return json{{"Types", Map(r.Types, Type)}};
  });
  j["Messages"] = Map(messages, [](const ShownMessage& m) {
    return json{{"Caption", S(m.Caption)}, {"Text", S(m.Text)}};
  });
  return j;
}
