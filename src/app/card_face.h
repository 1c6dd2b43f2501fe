// What a command card button shows: the first picture of its type, its text and its tooltip,
// and where it sits.
#pragma once

#include <string>

#include "app/command_card.h"
#include "util/bmp.h"
#include "util/keeping_uploader.h"

// The cell a new object of the type shows first (its first animation's first row, the column of
// heading 0), RGBA with the top row first and the colour key transparent; empty when the data
// name no such cell.
Image CardPicture(const TOpisan& type, const KeepingUploader& pictures);

struct CardLabel {
  std::string Text;  // "Q $480"; UTF-8
  std::string Tip;   // the name, with the hotkey
};
CardLabel LabelOf(const CardButton& button);

// Where button i sits on the card, in pixels: three a row.
struct CardCell {
  int X, Y, W, H;
};
CardCell CardButtonCell(size_t i);
