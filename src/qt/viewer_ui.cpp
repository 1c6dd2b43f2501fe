// The replay viewer in the window: the panel blocked, the timeline under the view, taking the
// match over and saving it.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFrame>
#include <QStandardPaths>

#include "qt/form.h"
#include "qt/timeline.h"
#include "util/translate.h"

namespace {

// Eats the user's mouse on a widget (the command panel while a recording plays).
class InputBlocker : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const QEvent::Type t = event->type();
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
           t == QEvent::MouseButtonDblClick || t == QEvent::Wheel;
  }
};

}  // namespace

// The viewer's panel and timeline, however the viewer was opened (--replay, the menu, the end
// of a match); the view keeps its size, the window grows by the bar.
void TForm1::EnterViewer() {
  BlockUserInput();
  if (!timeline_) {
    timeline_ = new Timeline(*session_, this);
    timeline_->onSeek = [this](uint64_t frame) {
      if (!created_ || exiting_ || session_->busy()) return;
      Guarded([&] { session_->viewer().Seek(frame); });
      UpdateBanner();
      timeline_->update();
    };
    timeline_->hide();
  }
  ShowTimeline(true);
}

void TForm1::LeaveViewer() {
  UnblockUserInput();
  ShowTimeline(false);
}

void TForm1::BlockUserInput() {
  if (blocker_) return;
  // The panel takes no focus either, so the keys reach the window.
  blocker_ = new InputBlocker(this);
  Panel2->installEventFilter(blocker_);
  for (QWidget* child : Panel2->findChildren<QWidget*>()) {
    child->installEventFilter(blocker_);
    focus_.emplace_back(child, child->focusPolicy());
    child->setFocusPolicy(Qt::NoFocus);
  }
}

std::string TForm1::MatchFile(const QString& prefix) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  const QDir dir(folder + QStringLiteral("/rtsdemo"));
  dir.mkpath(QStringLiteral("."));
  const QString base = prefix + QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss");
  QString name = base + QStringLiteral(".txt");
  for (int n = 2; dir.exists(name); ++n) name = base + QStringLiteral("-%1.txt").arg(n);
  return dir.filePath(name).toStdString();
}

void TForm1::TakeOver(std::optional<int32_t> side) {
  if (!session_->viewer().playing() || session_->busy()) return;
  const std::string file =
      options_.start.Record.empty() ? MatchFile("match_") : options_.start.Record;
  std::string error;
  bool ok = false;
  Guarded([&] { ok = session_->viewer().TakeOver(side, file, error); });
  if (!ok) {
    if (!error.empty()) session_->view().SetNote(Tr("notes", "Not taken over: %1", {error}));
    UpdateBanner();
    return;
  }
  // The match is the user's now: the panel takes the mouse and the focus again.
  LeaveViewer();
  // From now on the user's resizes are inputs of the match again.
  if (options_.runTimer) session_->wiring().scripted = false;
  session_->view().SetNote(Tr("notes", "Taken over at frame %1; recording to %2",
                              {std::to_string(session_->frontend().state().Frames), file}));
  UpdateBanner();
}

void TForm1::SaveMatch() {
  const std::string file = MatchFile("saved_");
  std::string error;
  bool ok = false;
  Guarded([&] { ok = session_->inputs().SaveMatch(file, error); });
  session_->view().SetNote(ok ? Tr("notes", "Match saved: %1", {file})
                              : Tr("notes", "Match not saved: %1", {error}));
  UpdateBanner();
}

void TForm1::ShowTimeline(bool shown) {
  if (!timeline_ || timeline_->isHidden() == !shown) return;
  timeline_->setHidden(!shown);
  // The view keeps its size.
  resize(width(), height() + (shown ? Timeline::kHeight : -Timeline::kHeight));
  LayoutPanels();
}

void TForm1::UnblockUserInput() {
  if (!blocker_) return;
  delete blocker_;  // removes it from every widget it filtered
  blocker_ = nullptr;
  for (auto& [widget, policy] : focus_)
    if (widget) widget->setFocusPolicy(policy);
  focus_.clear();
}
