// The game menu made of the core's entries, its file dialogs, the end-of-match box and the
// charts box.
#include <QAction>
#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "app/menu_model.h"
#include "app/stats_charts.h"
#include "qt/form.h"
#include "qt/match_charts.h"
#include "util/translate.h"

namespace {

QString T(const char* english) {
  return QString::fromStdString(Tr("menu", english));
}

QMenu* BuildMenu(QWidget* parent, const std::vector<MenuItem>& items) {
  auto* menu = new QMenu(parent);
  for (const MenuItem& item : items) {
    if (item.Text.empty()) {
      menu->addSeparator();
      continue;
    }
    QAction* action = nullptr;
    if (!item.Sub.empty()) {
      QMenu* sub = BuildMenu(menu, item.Sub);
      sub->setTitle(QString::fromStdString(item.Text));
      sub->setObjectName(QString::fromStdString(item.Name));
      action = menu->addMenu(sub);
    } else {
      action = menu->addAction(QString::fromStdString(item.Text));
      action->setCheckable(item.Checked.has_value());
      action->setChecked(item.Checked.value_or(false));
      QObject::connect(action, &QAction::triggered, menu, [fn = item.Action] {
        if (fn) fn();
      });
    }
    action->setObjectName(QString::fromStdString(item.Name));
    action->setEnabled(item.Enabled);
  }
  return menu;
}

}  // namespace

void TForm1::ShowGameMenu() {
  if (!core_->created() || core_->exiting()) return;
  if (menu_) menu_->close();
  menu_ = BuildMenu(this, GameMenu(*core_));
  menu_->setObjectName(QStringLiteral("GameMenu"));
  menu_->setAttribute(Qt::WA_DeleteOnClose);
  // Under the menu button, at the banner's right end.
  menu_->popup(MenuButton->mapToGlobal(QPoint(MenuButton->width(), MenuButton->height())) -
               QPoint(menu_->sizeHint().width(), 0));
}

std::string TForm1::ChooseFile(bool save) {
  if (chooser_) return chooser_(save).toStdString();
  const QString files = T("Recordings (*.txt);;All files (*)");
  return (save ? QFileDialog::getSaveFileName(this, T("Save recording as"), QString(), files)
               : QFileDialog::getOpenFileName(this, T("Open replay"), QString(), files))
      .toStdString();
}

// The box that tells who won, open while the session shows the end of the match.
void TForm1::SyncMatchEnd() {
  const std::optional<MatchEndView>& end = session_->view().matchEnd();
  if (!end) {
    if (endBox_) endBox_->close();
    return;
  }
  if (endBox_) return;
  auto* box = new QDialog(this);
  box->setObjectName(QStringLiteral("MatchEndBox"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle(T("End of the match"));
  auto* layout = new QVBoxLayout(box);
  auto* title = new QLabel(QString::fromStdString(end->TitleText()));
  title->setObjectName(QStringLiteral("MatchEndTitle"));
  QFont big = title->font();
  big.setPixelSize(24);
  big.setBold(true);
  title->setFont(big);
  title->setAlignment(Qt::AlignCenter);
  layout->addWidget(title);
  auto* figures = new QLabel(QString::fromStdString(end->LinesText()));
  figures->setObjectName(QStringLiteral("MatchEndFigures"));
  figures->setAlignment(Qt::AlignCenter);
  // The figures, then the match in charts.
  QTabWidget* tabs =
      MakeMatchCharts(session_->match().observer()->figures().Stats, session_->world(), {}, box);
  tabs->insertTab(0, figures, T("Summary"));
  tabs->setCurrentIndex(0);
  layout->addWidget(tabs);
  auto* buttons = new QDialogButtonBox;
  auto add = [&](const char* text, const char* name, std::function<void()> fn) {
    QPushButton* b = buttons->addButton(T(text), QDialogButtonBox::ActionRole);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, box, [box, fn = std::move(fn)] {
      box->done(QDialog::Accepted);  // not rejected: that is "keep watching"
      fn();
    });
  };
  add("New match", "EndNewMatch", [this] { core_->NewMatch({}); });
  add("Watch the replay", "EndWatchReplay", [this] { core_->WatchReplay(); });
  add("Keep watching", "EndKeepWatching", [this] { core_->KeepWatching(); });
  layout->addWidget(buttons);
  // Closed any other way, the match runs on.
  connect(box, &QDialog::rejected, this, [this] { core_->KeepWatching(); });
  endBox_ = box;
  box->open();
  // Over the middle of the view, within the window's smallest size.
  box->resize(560, 420);
  box->move(Panel3->mapToGlobal(Panel3->rect().center()) - box->rect().center());
}

// The match so far in charts, with the replay's marks; a box of its own beside the window.
void TForm1::ShowCharts() {
  const MatchObserver* observer = session_->match().observer();
  if (!observer) return;
  if (chartsBox_) chartsBox_->close();
  auto* box = new QDialog(this);
  box->setObjectName(QStringLiteral("ChartsBox"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle(T("Match charts"));
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(
      MakeMatchCharts(observer->figures().Stats, session_->world(), MarkSeconds(*session_), box));
  box->resize(560, 420);
  chartsBox_ = box;
  box->show();
}
