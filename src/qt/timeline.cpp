#include "qt/timeline.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/replay.h"
#include "app/session.h"
#include "app/timeline.h"

namespace {

constexpr int kTextWidth = 150;  // "mm:ss / mm:ss  frame"

QColor MarkColour(const ReplayMark& mark) {
  if (mark.Kind == MarkKind::FailedCheck) return {255, 220, 0};
  return mark.Side == 0 ? QColor(90, 150, 255) : QColor(235, 85, 60);
}

}  // namespace

Timeline::Timeline(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("Timeline"));
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
}

int Timeline::BarWidth() const {
  return std::max(2, width() - kTextWidth - BarLeft() - 6);
}

void Timeline::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(24, 24, 24));
  const ReplayPlayer* replay = session_.viewer().player();
  if (!replay || !replay->opened()) return;
  UpdateToolTip();
  const uint64_t length = replay->length();
  const uint64_t now = session_.frontend().state().Frames;
  const int left = BarLeft();
  const int w = BarWidth();
  const int top = 5;
  const int h = height() - 10;
  p.fillRect(left, top, w, h, QColor(60, 60, 60));
  p.fillRect(left, top, XOfFrame(now, length, left, w) - left, h, QColor(110, 110, 110));
  for (const ReplayMark& mark : replay->marks()) {
    const int x = XOfFrame(mark.Frame, length, left, w);
    const bool tall = mark.Kind == MarkKind::FailedCheck || mark.Kind == MarkKind::WipedOut;
    p.fillRect(x, tall ? 1 : top - 2, 2, tall ? height() - 2 : h + 4, MarkColour(mark));
  }
  p.fillRect(XOfFrame(now, length, left, w) - 1, 0, 3, height(), Qt::white);
  p.setPen(Qt::white);
  const QString text =
      QStringLiteral("%1 / %2  %3")
          .arg(QString::fromStdString(ClockText(now)), QString::fromStdString(ClockText(length)))
          .arg(now);
  p.drawText(QRect(left + w + 6, 0, kTextWidth, height()), Qt::AlignVCenter | Qt::AlignLeft, text);
}

void Timeline::UpdateToolTip() {
  const ReplayPlayer* replay = session_.viewer().player();
  if (replay->marks().size() == tipMarks_) return;
  tipMarks_ = replay->marks().size();
  QString tip;
  for (const ReplayMark& mark : replay->marks()) {
    tip += QStringLiteral("%1  %2\n")
               .arg(QString::fromStdString(ClockText(mark.Frame)),
                    QString::fromStdString(MarkText(mark)));
  }
  setToolTip(tip.trimmed());
}

void Timeline::SeekAt(int x) {
  const ReplayPlayer* replay = session_.viewer().player();
  if (!replay || !replay->opened() || !onSeek) return;
  onSeek(FrameAtX(x, replay->length(), BarLeft(), BarWidth()));
}

void Timeline::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) SeekAt(event->position().toPoint().x());
}

void Timeline::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) SeekAt(event->position().toPoint().x());
}
