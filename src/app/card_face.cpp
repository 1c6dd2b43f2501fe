#include "app/card_face.h"

#include "game/sprites.h"
#include "util/cp1251.h"
#include "util/translate.h"

Image CardPicture(const TOpisan& type, const KeepingUploader& pictures) {
  if (type.Animations.empty() || type.Animations[0].Frames.empty()) return {};
  const TKadri& a = type.Animations[0];
  if (a.TextureIndex < 0 || static_cast<size_t>(a.TextureIndex) >= type.Textures.size()) return {};
  const Image* sheet = pictures.Picture(type.Textures[static_cast<size_t>(a.TextureIndex)]);
  const int w = type.FrameWidth;
  const int h = type.FrameHeight;
  const int row = a.Frames[0];
  bool mirrored = false;
  const int column = DirectionColumn(0, mirrored);
  if (!sheet || w <= 0 || h <= 0 || row < 1 || static_cast<int64_t>(column) * w > sheet->Width ||
      static_cast<int64_t>(row) * h > sheet->Height)
    return {};
  Image cell;
  cell.Width = w;
  cell.Height = h;
  cell.Pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
  // Rows of the file run from the bottom; row 1 of the sheet is at the top.
  const int top = sheet->Height - (row - 1) * h - 1;
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = sheet->Pixels.data() + (static_cast<size_t>(top - y) * sheet->Width) * 4;
    p += static_cast<size_t>(column - 1) * w * 4;
    for (int x = 0; x < w; ++x, p += 4) {
      if (p[0] == 252 && p[1] == 252 && p[2] == 252) continue;
      uint8_t* q =
          cell.Pixels.data() + (static_cast<size_t>(y) * w + (mirrored ? w - 1 - x : x)) * 4;
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
      q[3] = 255;
    }
  }
  return cell;
}

CardLabel LabelOf(const CardButton& button) {
  const std::string name = ToUtf8(button.Name);
  const std::string key = button.Hotkey ? std::string(1, button.Hotkey) : std::string();
  const std::string price = button.Type ? "$" + std::to_string(button.Price) : "?";
  CardLabel label{key.empty() ? price : key + " " + price,
                  key.empty() ? name : name + " (" + key + ")"};
  if (!button.Type) label.Tip += "\n" + Tr("card", "no type of that name");
  return label;
}

CardCell CardButtonCell(size_t i) {
  constexpr int kWidth = 63, kHeight = 39, kColumns = 3;
  const int column = static_cast<int>(i) % kColumns, row = static_cast<int>(i) / kColumns;
  return {column * (kWidth + 2), row * (kHeight + 2), kWidth, kHeight};
}
