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
  for (int n = 1; n <= 3; ++n) {
    Button(n).Enabled = true;
    Button(n).Caption = ToCp1251(kButtonCaptions[static_cast<size_t>(n - 1)]);
    Combo(n).Text = ToCp1251(kComboTexts[static_cast<size_t>(n - 1)]);
  }
  values_.Panel3 = kStartViewSize;
}

bool HeadlessControls::ButtonEnabled(int n) const {
  return Button(n).Enabled;
}
std::string HeadlessControls::ButtonCaption(int n) const {
  return Button(n).Caption;
}
void HeadlessControls::SetButtonEnabled(int n, bool enabled) {
  Button(n).Enabled = enabled;
}
void HeadlessControls::SetButtonCaption(int n, const std::string& caption) {
  Button(n).Caption = caption;
}
bool HeadlessControls::Checked(int n) const {
  return n == 1 ? values_.CheckBox1 : values_.CheckBox2;
}
void HeadlessControls::SetChecked(int n, bool on) {
  (n == 1 ? values_.CheckBox1 : values_.CheckBox2) = on;
}

void HeadlessControls::ComboClear(int k) {
  Combo(k).Items.clear();
  Combo(k).ItemIndex = -1;
}
void HeadlessControls::ComboAdd(int k, const std::string& item) {
  Combo(k).Items.push_back(item);
}
std::vector<std::string> HeadlessControls::ComboItems(int k) const {
  return Combo(k).Items;
}
int HeadlessControls::ComboIndex(int k) const {
  return Combo(k).ItemIndex;
}
void HeadlessControls::SetComboIndex(int k, int index) {
  ComboValues& c = Combo(k);
  // Like a combo box: an index outside the items chooses nothing.
  c.ItemIndex = (index >= 0 && static_cast<size_t>(index) < c.Items.size()) ? index : -1;
  if (c.ItemIndex >= 0) c.Text = c.Items[static_cast<size_t>(c.ItemIndex)];
}
std::string HeadlessControls::ComboText(int k) const {
  return Combo(k).Text;
}
void HeadlessControls::SetComboText(int k, const std::string& text) {
  Combo(k).Text = text;
}
void HeadlessControls::ListClear() {
  values_.ListBox1.clear();
}
void HeadlessControls::ListAdd(const std::string& line) {
  values_.ListBox1.push_back(line);
}
std::vector<std::string> HeadlessControls::ListLines() const {
  return values_.ListBox1;
}
