#include "qt/card_buttons.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>

#include "game/sprites.h"
#include "qt/widget_controls.h"
#include "util/translate.h"

namespace {

constexpr int kButtonWidth = 63;
constexpr int kButtonHeight = 39;
constexpr int kIcon = 22;
constexpr int kColumns = 3;
constexpr int kBarHeight = 10;

// The cell a new object of the type shows first (its first animation's first row, the column
// of heading 0), the colour key transparent; null when the data name no such cell.
QPixmap CellPicture(const TOpisan& type, const KeepingUploader& pictures) {
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
  QImage cell(w, h, QImage::Format_ARGB32);
  // Rows of the file run from the bottom; row 1 of the sheet is at the top.
  const int top = sheet->Height - (row - 1) * h - 1;
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = sheet->Pixels.data() + (static_cast<size_t>(top - y) * sheet->Width) * 4;
    p += static_cast<size_t>(column - 1) * w * 4;
    for (int x = 0; x < w; ++x, p += 4) {
      const bool key = p[0] == 252 && p[1] == 252 && p[2] == 252;
      cell.setPixel(mirrored ? w - 1 - x : x, y, key ? 0u : qRgba(p[0], p[1], p[2], 255));
    }
  }
  return QPixmap::fromImage(cell.scaled(kIcon, kIcon, Qt::KeepAspectRatio, Qt::FastTransformation));
}

}  // namespace

uint32_t KeepingUploader::Upload(const Image& image) {
  const uint32_t id = inner_.Upload(image);
  kept_[id] = image;
  return id;
}

const Image* KeepingUploader::Picture(uint32_t texture) const {
  const auto it = kept_.find(texture);
  return it == kept_.end() ? nullptr : &it->second;
}

CardButtons::CardButtons(QWidget* parent, const KeepingUploader& pictures)
    : QWidget(parent), pictures_(pictures) {
  setObjectName(QStringLiteral("CommandCard"));
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("BuildProgress"));
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
  bar_->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
  bar_->hide();
}

void CardButtons::Show(const CommandCard& card, int32_t chosen) {
  if (!(card.Buttons == shown_.Buttons)) Rebuild(card);
  shown_ = card;
  for (size_t i = 0; i < buttons_.size(); ++i)
    buttons_[i]->setChecked(card.Buttons[i].Item == chosen);
  bar_->setGeometry(0, kHeight - kBarHeight, width(), kBarHeight);
  bar_->setVisible(card.Progress.has_value());
  if (card.Progress) bar_->setValue(static_cast<int>(*card.Progress * 100.0f));
}

void CardButtons::Rebuild(const CommandCard& card) {
  for (QToolButton* b : buttons_) delete b;
  buttons_.clear();
  const size_t shown = std::min(card.Buttons.size(), kCardHotkeys.size());
  for (size_t i = 0; i < shown; ++i) {
    const CardButton& c = card.Buttons[i];
    auto* b = new QToolButton(this);
    b->setObjectName(QStringLiteral("CardButton%1").arg(i + 1));
    b->setCheckable(true);
    b->setFocusPolicy(Qt::NoFocus);  // the keys stay with the view
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(kIcon, kIcon));
    const int col = static_cast<int>(i) % kColumns;
    const int row = static_cast<int>(i) / kColumns;
    b->setGeometry(col * (kButtonWidth + 2), row * (kButtonHeight + 2), kButtonWidth,
                   kButtonHeight);
    const QString name = ToQt(c.Name);
    const QString key = c.Hotkey ? QString(QLatin1Char(c.Hotkey)) : QString();
    const QString price = c.Type ? QStringLiteral("$%1").arg(c.Price) : QStringLiteral("?");
    b->setText(key.isEmpty() ? price : key + QLatin1Char(' ') + price);
    if (c.Type) b->setIcon(QIcon(CellPicture(*c.Type, pictures_)));
    QString tip = key.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, key);
    if (!c.Type)
      tip += QStringLiteral("\n") + QString::fromStdString(Tr("card", "no type of that name"));
    b->setToolTip(tip);
    const int32_t item = c.Item;
    connect(b, &QToolButton::clicked, this, [this, item] {
      if (onChoose) onChoose(item);
    });
    b->show();
    buttons_.push_back(b);
  }
}
