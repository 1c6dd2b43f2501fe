#include "qt/timeline.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/session.h"
#include "app/timeline.h"

Timeline::Timeline(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("Timeline"));
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
}

void Timeline::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(24, 24, 24));
  const ReplayPlayer* replay = session_.viewer().player();
  const TimelinePicture picture =
      DrawTimeline(replay, session_.frontend().state().Frames, width(), height());
  if (picture.Fills.empty()) return;
  if (picture.Marks != tipMarks_) {
    tipMarks_ = picture.Marks;
    setToolTip(QString::fromStdString(TimelineTip(*replay)));
  }
  for (const TimelineFill& f : picture.Fills)
    p.fillRect(f.X, f.Y, f.W, f.H, QColor::fromRgb(f.Rgb));
  p.setPen(Qt::white);
  p.drawText(QRect(picture.TextLeft, 0, kTimelineTextWidth, height()),
             Qt::AlignVCenter | Qt::AlignLeft, QString::fromStdString(picture.Text));
}

void Timeline::SeekAt(int x) {
  const std::optional<uint64_t> frame = TimelineFrameAt(session_.viewer().player(), x, width());
  if (frame && onSeek) onSeek(*frame);
}

void Timeline::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) SeekAt(event->position().toPoint().x());
}

void Timeline::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) SeekAt(event->position().toPoint().x());
}
