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
  for (size_t n = 0; n < values_.Buttons.size(); ++n)
    values_.Buttons[n].Caption = ToCp1251(kButtonCaptions[n]);
  for (size_t k = 0; k < values_.Combos.size(); ++k)
    values_.Combos[k].Text = ToCp1251(kComboTexts[k]);
  values_.ViewWidth = 485;
  values_.ViewHeight = 447;
}

bool HeadlessControls::ButtonEnabled(int n) const {
  return values_.Buttons.at(n - 1).Enabled;
}
std::string HeadlessControls::ButtonCaption(int n) const {
  return values_.Buttons.at(n - 1).Caption;
}
void HeadlessControls::SetButtonEnabled(int n, bool enabled) {
  values_.Buttons.at(n - 1).Enabled = enabled;
}
void HeadlessControls::SetButtonCaption(int n, const std::string& caption) {
  values_.Buttons.at(n - 1).Caption = caption;
}
bool HeadlessControls::Checked(int n) const {
  return values_.Checks.at(n - 1);
}
void HeadlessControls::SetChecked(int n, bool on) {
  values_.Checks.at(n - 1) = on;
}

void HeadlessControls::ComboClear(int k) {
  values_.Combos.at(k - 1).Items.clear();
  values_.Combos.at(k - 1).Index = -1;
}
void HeadlessControls::ComboAdd(int k, const std::string& item) {
  values_.Combos.at(k - 1).Items.push_back(item);
}
std::vector<std::string> HeadlessControls::ComboItems(int k) const {
  return values_.Combos.at(k - 1).Items;
}
int HeadlessControls::ComboIndex(int k) const {
  return values_.Combos.at(k - 1).Index;
}
void HeadlessControls::SetComboIndex(int k, int index) {
  ControlValues::Combo& c = values_.Combos.at(k - 1);
  // Like a combo box: an index outside the items chooses nothing.
  c.Index = (index >= 0 && static_cast<size_t>(index) < c.Items.size()) ? index : -1;
  if (c.Index >= 0) c.Text = c.Items[static_cast<size_t>(c.Index)];
}
std::string HeadlessControls::ComboText(int k) const {
  return values_.Combos.at(k - 1).Text;
}
void HeadlessControls::SetComboText(int k, const std::string& text) {
  values_.Combos.at(k - 1).Text = text;
}
void HeadlessControls::ListClear() {
  values_.Lines.clear();
}
void HeadlessControls::ListAdd(const std::string& line) {
  values_.Lines.push_back(line);
}
std::vector<std::string> HeadlessControls::ListLines() const {
  return values_.Lines;
}
