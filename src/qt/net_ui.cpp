// The window's network match: the game menu's host and join dialogs, the chat line over the
// view, the pace keys and closing the window while the others play on.
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
#include <iostream>

#include "net/net_peer.h"
#include "qt/form.h"
#include "qt/widget_controls.h"
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

}  // namespace

void TForm1::StartNet() {
  WindowOptions w;
  w.seed = options_.seed;
  w.playAs = options_.start.PlayAs;
  w.level = options_.start.Level;
  net_ = std::make_unique<NetPeer>(*session_, *options_.net, w, false);
  net_->onProblem = [this](const std::string& text) {
    if (isHidden()) return;
    if (net_->started()) {
      Notice(text);
      return;
    }
    // A join or host that ended before its match started leaves nothing to play or watch:
    // the box, then the program ends with the match's status.
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("rtsdemo"),
                                QString::fromStdString(text), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("NetFailedBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, this, [this] { Exit(net_->status()); });
    netFailed_ = box;
    box->open();
  };
  net_->onEnded = [this] {
    // A window that was closed has waited for this; an open one stays until closed, unless
    // its match never started.
    if (isHidden() || (!net_->started() && !netFailed_)) Exit(net_->status());
    UpdateBanner();
  };
  // Until the start every peer sees each player's view at the start-up size.
  controls_.AgreeViewSize(std::array<int, 2>{kStartViewSize[0], kStartViewSize[1]});
  net_->ViewResized(controls_.RealViewWidth(), controls_.RealViewHeight());
  std::string error;
  if (!net_->Begin(error)) {
    std::cerr << "rtsdemo: " << error << "\n";
    Exit(net_->status());
    return;
  }
  Panel3->setFocus(Qt::OtherFocusReason);
  UpdateBanner();
}

void TForm1::OpenChat() {
  if (!net_ || !net_->started() || net_->ended()) return;
  if (!chatLine_) {
    // In the banner, clear of the OpenGL view: a widget laid over the view's native window
    // would need one of its own, and that one stays over the view, black, once hidden.
    auto* line = new ChatLine(Panel1);
    line->setObjectName(QStringLiteral("ChatLine"));
    line->setMaxLength(static_cast<int>(NetPeer::kChatMaxBytes));
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
  if (!chatLine_) return;
  const QString text = chatLine_->text().trimmed();
  chatLine_->hide();
  Panel3->setFocus(Qt::OtherFocusReason);
  if (send && !text.isEmpty() && net_) Guarded([&] { net_->Chat(FromQt(text)); });
  UpdateBanner();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (keysBox_) keysBox_->close();
  if (net_ && !exiting_) {
    if (chatLine_) chatLine_->hide();
    if (!net_->ended() && !net_->Leave()) {
      // The others may still need this peer (the host carries their hub): on, hidden.
      event->ignore();
      hide();
      return;
    }
    Exit(net_->status());
  }
  QWidget::closeEvent(event);
}

void TForm1::KeepWatchingEnd() {
  if (!net_) {
    session_->view().KeepWatching();
    return;
  }
  // The end paused every peer at the same frame; going on is the match's too.
  session_->view().KeepWatching();
  session_->pace().SetPaused(true);
  net_->SetPace(false, session_->pace().speed());
}

QStringList TForm1::ChooseNet(bool host) {
  if (netChooser_) return netChooser_(host);
  QDialog box(this);
  box.setObjectName(host ? QStringLiteral("HostBox") : QStringLiteral("JoinBox"));
  box.setWindowTitle(host ? T("Host a network match") : T("Join a network match"));
  auto* form = new QFormLayout(&box);
  auto* address = new QLineEdit(host ? QStringLiteral("7341") : QStringLiteral("127.0.0.1:7341"));
  form->addRow(host ? T("UDP port:") : T("Host[:port]:"), address);
  auto* role = new QComboBox;
  role->addItems({T("Side 0"), T("Side 1")});
  if (!host) role->addItems({T("A free side"), T("Watch")});
  role->setCurrentIndex(host ? 0 : 2);
  form->addRow(T("Play as:"), role);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
  form->addRow(buttons);
  if (box.exec() != QDialog::Accepted || address->text().trimmed().isEmpty()) return {};
  QStringList args = {host ? QStringLiteral("--host") : QStringLiteral("--join"),
                      address->text().trimmed()};
  const int r = role->currentIndex();
  if (r <= 1) args << QStringLiteral("--play-as") << QString::number(r);
  if (r == 3) args << QStringLiteral("--watch");
  return args;
}

void TForm1::MenuNetwork(bool host) {
  QStringList args = ChooseNet(host);
  if (args.isEmpty()) return;
  // Every peer starts from a fresh session: the match runs in a new window of its own.
  if (options_.start.Level)
    args << QStringLiteral("--level") << QString::fromStdString(*options_.start.Level);
  if (sound_->muted()) args << QStringLiteral("--mute");
  const bool started = launcher_
                           ? launcher_(args)
                           : QProcess::startDetached(QCoreApplication::applicationFilePath(), args);
  if (!started) {
    Notice(Tr("net", "Cannot start %1", {args.join(QLatin1Char(' ')).toStdString()}));
    return;
  }
  close();
}
