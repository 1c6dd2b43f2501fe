// F1's box: the keys and the mouse, scrolling where the screen is too low for the whole list.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/keys.h"
#include "qt/form.h"
#include "util/translate.h"

void TForm1::ShowKeys() {
  if (keysBox_) return;
  auto* box = new QDialog(this);
  box->setObjectName(QStringLiteral("KeysBox"));
  box->setWindowTitle(QString::fromStdString(Tr("keys", "Keys and mouse")));
  box->setAttribute(Qt::WA_DeleteOnClose);
  // Not modal: the frames go on and the window can be closed while it is open.
  box->setModal(false);
  auto* label = new QLabel(QString::fromStdString(KeyHelpTable()));
  label->setObjectName(QStringLiteral("KeysText"));
  label->setTextFormat(Qt::RichText);
  label->setMargin(8);
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("KeysScroll"));
  scroll->setWidget(label);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(scroll);
  layout->addWidget(buttons);
  // As high as the list, at most the screen's free height less room for a title bar.
  const QScreen* screen = this->screen();
  const QRect free = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const int frame = 40;
  const int chrome = buttons->sizeHint().height() + layout->contentsMargins().top() +
                     layout->contentsMargins().bottom() + layout->spacing();
  const int height = std::min(label->sizeHint().height() + chrome, free.height() - frame);
  const int width = label->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width() +
                    layout->contentsMargins().left() + layout->contentsMargins().right();
  box->resize(std::min(width, free.width()), height);
  // Over the window, inside the screen's free area.
  QRect at(QPoint(0, 0), box->size());
  at.moveCenter(geometry().center());
  at.moveTop(std::clamp(at.top(), free.top(),
                        std::max(free.top(), free.bottom() + 1 - frame - at.height())));
  at.moveLeft(std::clamp(at.left(), free.left(), std::max(free.left(), free.right() - at.width())));
  box->move(at.topLeft());
  keysBox_ = box;
  box->show();
}
