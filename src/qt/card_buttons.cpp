#include "qt/card_buttons.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>

#include "app/card_face.h"

namespace {

constexpr int kIcon = 22;
constexpr int kBarHeight = 10;

QPixmap Icon(const TOpisan& type, const KeepingUploader& pictures) {
  const Image cell = CardPicture(type, pictures);
  if (!cell.Complete()) return {};
  const QImage image(cell.Pixels.data(), cell.Width, cell.Height, QImage::Format_RGBA8888);
  return QPixmap::fromImage(
      image.scaled(kIcon, kIcon, Qt::KeepAspectRatio, Qt::FastTransformation));
}

}  // namespace

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
    const CardCell cell = CardButtonCell(i);
    b->setGeometry(cell.X, cell.Y, cell.W, cell.H);
    const CardLabel label = LabelOf(c);
    b->setText(QString::fromStdString(label.Text));
    b->setToolTip(QString::fromStdString(label.Tip));
    if (c.Type) b->setIcon(QIcon(Icon(*c.Type, pictures_)));
    const int32_t item = c.Item;
    connect(b, &QToolButton::clicked, this, [this, item] {
      if (onChoose) onChoose(item);
    });
    b->show();
    buttons_.push_back(b);
  }
}
