// The command card's widgets under the read-out: a button for each thing the selection can
// build or train (its picture, price and hotkey) and a bar for the build under way.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/command_card.h"
#include "util/keeping_uploader.h"

class QProgressBar;
class QToolButton;

class CardButtons : public QWidget {
 public:
  static constexpr int kHeight = 92;
  CardButtons(QWidget* parent, const KeepingUploader& pictures);
  // Shows the card; chosen is the build box's line chosen now (-1: none).
  void Show(const CommandCard& card, int32_t chosen);
  // A button pressed: the build box's line it chooses.
  std::function<void(int32_t item)> onChoose;

 private:
  void Rebuild(const CommandCard& card);
  const KeepingUploader& pictures_;
  CommandCard shown_;
  std::vector<QToolButton*> buttons_;
  QProgressBar* bar_ = nullptr;
};
