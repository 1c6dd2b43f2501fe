#include "app/headless.h"

#include <chrono>
#include <iostream>

#include "app/texts.h"
#include "util/cp1251.h"
#include "util/random.h"

void RecordingPlatform::ShowMessage(const std::string& text, const std::string& caption) {
  messages.push_back({caption, text});
  if (answerAtOnce) {
    std::cerr << ToUtf8(caption) << ": " << ToUtf8(text) << std::endl;
  } else {
    ShowModal(text, caption);
  }
}

uint32_t RecordingPlatform::TickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t RecordingPlatform::ClockSeed() {
  uint32_t seed = NextSeed();
  usedSeeds.push_back(seed);
  return seed;
}

uint32_t RecordingPlatform::NextSeed() {
  if (nextSeed) {
    uint32_t seed = *nextSeed;
    nextSeed.reset();
    return seed;
  }
  if (fixedSeed) return *fixedSeed;
  using namespace std::chrono;
  auto now = system_clock::now();
  auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 86400000;
  auto msOfDay = static_cast<uint32_t>(ms);
  return ::ClockSeed(msOfDay / 3600000, msOfDay / 60000 % 60, msOfDay / 1000 % 60, msOfDay % 1000);
}

HeadlessControls::HeadlessControls() {
  for (size_t n = 0; n < buttons_.size(); ++n) buttons_[n].caption = ToCp1251(kButtonCaptions[n]);
  for (size_t k = 0; k < combos_.size(); ++k) combos_[k].text = ToCp1251(kComboTexts[k]);
}

bool HeadlessControls::ButtonEnabled(int n) const {
  return buttons_.at(n - 1).enabled;
}
std::string HeadlessControls::ButtonCaption(int n) const {
  return buttons_.at(n - 1).caption;
}
void HeadlessControls::SetButtonEnabled(int n, bool enabled) {
  buttons_.at(n - 1).enabled = enabled;
}
void HeadlessControls::SetButtonCaption(int n, const std::string& caption) {
  buttons_.at(n - 1).caption = caption;
}
bool HeadlessControls::Checked(int n) const {
  return checks_.at(n - 1);
}
void HeadlessControls::SetChecked(int n, bool on) {
  checks_.at(n - 1) = on;
}

void HeadlessControls::ComboClear(int k) {
  combos_.at(k - 1).items.clear();
  combos_.at(k - 1).index = -1;
}
void HeadlessControls::ComboAdd(int k, const std::string& item) {
  combos_.at(k - 1).items.push_back(item);
}
std::vector<std::string> HeadlessControls::ComboItems(int k) const {
  return combos_.at(k - 1).items;
}
int HeadlessControls::ComboIndex(int k) const {
  return combos_.at(k - 1).index;
}
void HeadlessControls::SetComboIndex(int k, int index) {
  Combo& c = combos_.at(k - 1);
  // Like a combo box: an index outside the items chooses nothing.
  c.index = (index >= 0 && static_cast<size_t>(index) < c.items.size()) ? index : -1;
  if (c.index >= 0) c.text = c.items[static_cast<size_t>(c.index)];
}
std::string HeadlessControls::ComboText(int k) const {
  return combos_.at(k - 1).text;
}
void HeadlessControls::SetComboText(int k, const std::string& text) {
  combos_.at(k - 1).text = text;
}
void HeadlessControls::ListClear() {
  lines_.clear();
}
void HeadlessControls::ListAdd(const std::string& line) {
  lines_.push_back(line);
}
std::vector<std::string> HeadlessControls::ListLines() const {
  return lines_;
}
