// The window's network match: the game menu's host and join dialogs, the chat line over the
// view, the box of a match that never started and closing the window while the others play on.
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <algorithm>

#include "qt/form.h"
#include "util/translate.h"

namespace {

// The chat entry: Enter sends, Escape cancels.
class ChatLine : public QLineEdit {
 public:
  std::function<void(bool send)> onClose;
  explicit ChatLine(QWidget* parent) : QLineEdit(parent) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
      if (onClose) onClose(event->key() != Qt::Key_Escape);
      event->accept();
      return;
    }
    QLineEdit::keyPressEvent(event);
  }
};

QString T(const char* english) {
  return QString::fromStdString(Tr("menu", english));
}

QStringList QtArgs(const std::vector<std::string>& args) {
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  return list;
}

}  // namespace

void TForm1::ShowNetFailure(const std::string& text, std::function<void()> closed) {
  auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("rtsdemo"),
                              QString::fromStdString(text), QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("NetFailedBox"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  connect(box, &QDialog::finished, this, std::move(closed));
  box->open();
}

void TForm1::OpenChat() {
  if (!chatLine_) {
    // In the banner, clear of the OpenGL view: a widget laid over the view's native window
    // would need one of its own, and that one stays over the view, black, once hidden.
    auto* line = new ChatLine(Panel1);
    line->setObjectName(QStringLiteral("ChatLine"));
    line->setMaxLength(static_cast<int>(NetMatch::kChatMaxBytes));
    line->setPlaceholderText(T("Chat to all: Enter sends, Escape cancels"));
    line->onClose = [this](bool send) { CloseChat(send); };
    chatLine_ = line;
  }
  const QRect banner = Panel1->contentsRect();
  const int h = std::min(chatLine_->sizeHint().height(), banner.height() - 4);
  chatLine_->setGeometry(banner.left() + 4, banner.top() + (banner.height() - h) / 2,
                         std::max(1, banner.width() - 8), h);
  chatLine_->clear();
  chatLine_->show();
  chatLine_->raise();
  chatLine_->setFocus(Qt::OtherFocusReason);
}

void TForm1::CloseChat(bool send) {
  const QString text = chatLine_->text().trimmed();
  chatLine_->hide();
  FocusView();
  core_->Chat(send ? FromQt(text) : std::string());
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (keysBox_) keysBox_->close();
  if (chatLine_) chatLine_->hide();
  if (!core_->Closing()) {
    event->ignore();
    hide();
    return;
  }
  QWidget::closeEvent(event);
}

std::vector<std::string> TForm1::ChooseNet(bool host) {
  if (netChooser_) {
    std::vector<std::string> args;
    for (const QString& a : netChooser_(host)) args.push_back(a.toStdString());
    return args;
  }
  const NetDialog d = NetDialogOf(host);
  QDialog box(this);
  box.setObjectName(QString::fromStdString(d.Name));
  box.setWindowTitle(QString::fromStdString(d.Title));
  auto* form = new QFormLayout(&box);
  auto* address = new QLineEdit(QString::fromStdString(d.Address));
  form->addRow(QString::fromStdString(d.AddressLabel), address);
  auto* role = new QComboBox;
  for (const std::string& r : d.Roles) role->addItem(QString::fromStdString(r));
  role->setCurrentIndex(d.Role);
  form->addRow(QString::fromStdString(d.RoleLabel), role);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
  form->addRow(buttons);
  if (box.exec() != QDialog::Accepted) return {};
  return NetArguments(host, address->text().trimmed().toStdString(), role->currentIndex());
}

bool TForm1::Launch(const std::vector<std::string>& args) {
  return launcher_ ? launcher_(QtArgs(args))
                   : QProcess::startDetached(QCoreApplication::applicationFilePath(), QtArgs(args));
}
