#include "app/command_card.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "game/order_language.h"

namespace {

// The last type of the race with this name, as the build order chooses it; -1 for none.
int32_t KindNamed(const World& world, int32_t rassa, const std::string& name) {
  if (rassa < 0 || static_cast<size_t>(rassa) >= world.Catalogue.size()) return -1;
  const std::vector<TOpisan>& types = world.Catalogue[static_cast<size_t>(rassa)].Types;
  for (size_t j = types.size(); j-- > 0;)
    if (types[j].Name == name) return static_cast<int32_t>(j);
  return -1;
}

int32_t PriceOf(const TOpisan& type) {
  if (type.PriceResources.empty()) return 0;
  const float amount = type.PriceResources[0].Amount;
  // Out-of-range data shows as the nearest whole number that fits.
  if (!(amount > 0)) return 0;
  return amount >= 2147483647.0f ? INT32_MAX : static_cast<int32_t>(std::ceil(amount));
}

// How far the builder's current build has come, when it builds now.
std::optional<float> ProgressOf(const World& world, const TObyekt& builder) {
  const std::optional<Order> order = ParseOrder(builder.Thought1);
  if (!order || order->Kind != Verb::Stroyka) return std::nullopt;
  const TOpisan* built = FindType(world, builder.Rassa, order->Numbers[0]);
  if (built == nullptr || built->PriceResources.empty()) return std::nullopt;
  const float total = built->PriceResources[0].Amount;
  if (!(total > 0)) return 1.0f;
  return std::clamp(static_cast<float>(builder.BuildProgress) / total, 0.0f, 1.0f);
}

}  // namespace

CommandCard MakeCommandCard(const World& world, const std::vector<int32_t>* selectionAside,
                            const std::vector<std::string>& buildItems) {
  CommandCard card;
  auto live = [&](int32_t i) { return IsObjectIndex(world, i) && IsAlive(ObjectAt(world, i)); };
  if (selectionAside) {
    const auto it = std::find_if(selectionAside->begin(), selectionAside->end(), live);
    if (it != selectionAside->end()) card.Builder = *it;
  } else {
    for (size_t i = 0; i < world.Objects.size() && card.Builder < 0; ++i)
      if (world.Objects[i].Selected && live(static_cast<int32_t>(i)))
        card.Builder = static_cast<int32_t>(i);
  }
  if (card.Builder < 0) return card;
  const TObyekt& builder = ObjectAt(world, card.Builder);
  for (size_t k = 0; k < buildItems.size(); ++k) {
    CardButton b;
    b.Item = static_cast<int32_t>(k);
    b.Name = buildItems[k];
    b.Kind = KindNamed(world, builder.Rassa, b.Name);
    if (b.Kind >= 0) {
      b.Type = FindType(world, builder.Rassa, b.Kind);
      b.Price = PriceOf(*b.Type);
    }
    if (k < kCardHotkeys.size()) b.Hotkey = kCardHotkeys[k];
    card.Buttons.push_back(b);
  }
  card.Progress = ProgressOf(world, builder);
  return card;
}

int32_t CardButtonOfKey(const CommandCard& card, char key) {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
  for (const CardButton& b : card.Buttons)
    if (b.Hotkey != 0 && b.Hotkey == upper) return b.Item;
  return -1;
}

const TOpisan* FootprintType(const World& world, const CommandCard& card, int32_t chosenItem) {
  if (card.Builder < 0 || chosenItem < 0) return nullptr;
  const TOpisan* builderType = TypeOf(world, ObjectAt(world, card.Builder));
  if (builderType == nullptr || builderType->Speeds.empty()) return nullptr;
  for (const CardButton& b : card.Buttons)
    if (b.Item == chosenItem && b.Type != nullptr && b.Type->Speeds.empty()) return b.Type;
  return nullptr;
}
