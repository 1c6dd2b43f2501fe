// What the window remembers of its user between runs (QSettings): whether the ground is shown.
// Only an interactive window uses it; scripts, recordings and network matches start as the
// rules say, with the box unticked.
#include <QCheckBox>
#include <QSettings>

#include "qt/form.h"
#include "util/translate.h"

namespace {

const QString kGroundKey = QStringLiteral("view/ground");

QSettings Settings() {
  return QSettings(QStringLiteral("rtsdemo"), QStringLiteral("rtsdemo"));
}

}  // namespace

void TForm1::ApplyPreferences() {
  if (!core_->options().remember) return;
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
