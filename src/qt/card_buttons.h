// The command card's widgets under the read-out: a button for each thing the selection can
// build or train (its picture, price and hotkey) and a bar for the build under way.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "app/command_card.h"
#include "util/bmp.h"

class QProgressBar;
class QToolButton;

// Uploads as the window's uploader does and keeps each picture, for the card's icons.
class KeepingUploader : public TextureUploader {
 public:
  explicit KeepingUploader(TextureUploader& inner) : inner_(inner) {}
  uint32_t Upload(const Image& image) override;
  const Image* Picture(uint32_t texture) const;

 private:
  TextureUploader& inner_;
  std::map<uint32_t, Image> kept_;
};

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
