// The replay viewer's timeline under the view: the whole recording, its marks, the frame
// shown and its time; a click or a drag seeks.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

class Session;

class Timeline : public QWidget {
 public:
  Timeline(Session& session, QWidget* parent);
  // Called with the frame to seek to (a click or a drag).
  std::function<void(uint64_t)> onSeek;
  static constexpr int kHeight = 22;  // pixels

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void SeekAt(int x);

  Session& session_;
  size_t tipMarks_ = SIZE_MAX;  // marks the tooltip lists
};
