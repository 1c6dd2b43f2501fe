// What the window remembers of its user between runs (QSettings): whether the ground is shown.
// Only an interactive window uses it; scripts, recordings and network matches start as the
// rules say, with the box unticked.
#include <QCheckBox>
#include <QSettings>
#include <algorithm>
#include <limits>

#include "qt/form.h"
#include "util/translate.h"

namespace {

const QString kGroundKey = QStringLiteral("view/ground");

QSettings Settings() {
  return QSettings(QStringLiteral("rtsdemo"), QStringLiteral("rtsdemo"));
}

}  // namespace

void TForm1::ApplyPreferences() {
  if (!options_.remember) return;
  QSettings settings = Settings();
  const bool first = !settings.contains(kGroundKey);
  // A new user sees the ground: the black view without it looks broken.
  if (settings.value(kGroundKey, true).toBool() && !CheckBox2->isChecked())
    CheckBox2->setChecked(true);  // the input "check 2 on", recorded like a click
  if (first) {
    settings.setValue(kGroundKey, true);
    session_->view().SetNote(
        Tr("notes", "\"Карта\" shows the ground; the window remembers your choice"));
  }
  connect(CheckBox2, &QCheckBox::toggled, this,
          [](bool on) { Settings().setValue(kGroundKey, on); });
}

void TForm1::LookAtLevel() {
  if (!options_.remember) return;
  // The middle of what the level placed, so that none of it starts cut off at the view's edge.
  const World& w = session_->world();
  float x0 = std::numeric_limits<float>::max(), y0 = x0, x1 = -x0, y1 = -x0;
  for (const TObyekt& o : w.Objects) {
    if (!(std::abs(o.X) < 1e6f && std::abs(o.Y) < 1e6f)) continue;
    x0 = std::min(x0, o.X);
    x1 = std::max(x1, o.X);
    y0 = std::min(y0, o.Y);
    y1 = std::max(y1, o.Y);
  }
  if (x0 > x1) return;
  Input(MakeCommand(CommandKind::Look, {static_cast<int64_t>(std::lround((x0 + x1) / 2)),
                                        static_cast<int64_t>(std::lround((y0 + y1) / 2))}));
}
