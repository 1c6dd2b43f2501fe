// The replay viewer in the window: the panel blocked and the timeline under the view.
#include <QEvent>
#include <QFrame>

#include "qt/form.h"
#include "qt/timeline.h"

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
void TForm1::ShowViewer(bool shown) {
  if (shown && !blocker_) {
    // The panel takes no focus either, so the keys reach the window.
    blocker_ = new InputBlocker(this);
    Panel2->installEventFilter(blocker_);
    for (QWidget* child : Panel2->findChildren<QWidget*>()) {
      child->installEventFilter(blocker_);
      focus_.emplace_back(child, child->focusPolicy());
      child->setFocusPolicy(Qt::NoFocus);
    }
  } else if (!shown && blocker_) {
    delete blocker_;  // removes it from every widget it filtered
    blocker_ = nullptr;
    for (auto& [widget, policy] : focus_)
      if (widget) widget->setFocusPolicy(policy);
    focus_.clear();
  }
  if (shown && !timeline_) {
    timeline_ = new Timeline(*session_, this);
    timeline_->onSeek = [this](uint64_t frame) { core_->Seek(frame); };
    timeline_->hide();
  }
  if (!timeline_ || timeline_->isHidden() == !shown) return;
  timeline_->setHidden(!shown);
  // The view keeps its size.
  resize(width(), height() + (shown ? Timeline::kHeight : -Timeline::kHeight));
  LayoutPanels();
}

void TForm1::RepaintTimeline() {
  if (timeline_) timeline_->update();
}
