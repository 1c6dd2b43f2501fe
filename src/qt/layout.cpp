// The window's layout: every control with its place, caption and object name.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <utility>

#include "app/texts.h"
#include "qt/card_buttons.h"
#include "qt/form.h"
#include "qt/timeline.h"
#include "qt/view.h"
#include "util/translate.h"

namespace {

constexpr int kClientWidth = 694;
constexpr int kClientHeight = 480;
constexpr int kBannerHeight = 33;  // Panel1
constexpr int kPanelWidth = 209;   // Panel2
constexpr int kTimerMs = 10;
constexpr int kListLine = 13;  // pixels a read-out line
constexpr int kMenuButtonWidth = 60;

struct Place {
  int x, y, w, h;
};

void Put(QWidget* widget, Place p) {
  widget->setGeometry(p.x, p.y, p.w, p.h);
}

QPushButton* NewButton(QWidget* parent, const char* caption, Place p) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  Put(button, p);
  return button;
}

QCheckBox* NewCheck(QWidget* parent, const char* caption, Place p) {
  auto* check = new QCheckBox(QString::fromUtf8(caption), parent);
  Put(check, p);
  return check;
}

QComboBox* NewCombo(QWidget* parent, const char* shown) {
  auto* combo = new QComboBox(parent);
  MakeChoiceCombo(combo);
  combo->setEditText(QString::fromUtf8(shown));
  Put(combo, {24, 8, 145, 21});
  return combo;
}

// List box lines of a fixed height in pixels.
class FixedLineDelegate : public QStyledItemDelegate {
 public:
  FixedLineDelegate(int pixels, QObject* parent) : QStyledItemDelegate(parent), pixels_(pixels) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), pixels_};
  }

 private:
  int pixels_;
};

// Narrower tabs, so the three pages' tabs fit the 193-pixel tab control as they should.
class CompactTabs : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_TabBarTabHSpace) return 12;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

void TForm1::BuildLayout() {
  setWindowTitle(QStringLiteral("OpenGL demo"));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);  // MS Sans Serif 8 pt at 96 dpi
  setFont(font);

  Panel1 = new QLabel(this);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setWordWrap(true);  // a note may take a second line

  // The game menu's button at the banner's right end; the banner's text keeps clear of it.
  MenuButton = new QToolButton(Panel1);
  MenuButton->setText(QString::fromStdString(Tr("menu", "Menu")));
  MenuButton->setFocusPolicy(Qt::NoFocus);
  connect(MenuButton, &QToolButton::clicked, this, &TForm1::ShowGameMenu);
  Panel1->setContentsMargins(0, 0, kMenuButtonWidth + 8, 0);

  Panel2 = new QFrame(this);
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);

  View = new GlView(ViewSurfaceFormat());
  Panel3 = QWidget::createWindowContainer(View, this);
  QPalette black = Panel3->palette();
  black.setColor(QPalette::Window, Qt::black);
  Panel3->setPalette(black);
  Panel3->setAutoFillBackground(true);
  Panel3->setFocusPolicy(Qt::ClickFocus);

  Timer1 = new QTimer(this);
  Timer1->setInterval(kTimerMs);
  Timer1->setTimerType(Qt::PreciseTimer);

  auto* Button1 = NewButton(Panel2, kButtonCaptions[0], {8, 8, 193, 25});
  auto* Button2 = NewButton(Panel2, kButtonCaptions[1], {8, 40, 193, 25});

  auto* PageControl1 = new QTabWidget(Panel2);
  auto* tabStyle = new CompactTabs;
  tabStyle->setParent(PageControl1);
  PageControl1->tabBar()->setStyle(tabStyle);
  Put(PageControl1, {8, 352, 193, 89});
  auto* TabSheet2 = new QWidget;
  auto* TabSheet3 = new QWidget;
  auto* TabSheet4 = new QWidget;
  PageControl1->addTab(TabSheet2, QString::fromUtf8(kTabCaptions[0]));
  PageControl1->addTab(TabSheet3, QString::fromUtf8(kTabCaptions[1]));
  PageControl1->addTab(TabSheet4, QString::fromUtf8(kTabCaptions[2]));
  PageControl1->setCurrentIndex(0);

  // The read-out keeps room for its longest list (ten lines); the command card sits under it.
  auto* ListBox1 = new QListWidget(Panel2);
  // A read-out: a click on it leaves the keys (P, Tab, arrows ...) where they were.
  ListBox1->setFocusPolicy(Qt::NoFocus);
  Put(ListBox1, {8, 80, 193, 141});
  ListBox1->setItemDelegate(new FixedLineDelegate(kListLine, ListBox1));
  ListBox1->setUniformItemSizes(true);
  Card = new CardButtons(Panel2, keeping_);
  Put(Card, {8, 228, 193, CardButtons::kHeight});
  Card->onChoose = [this](int32_t item) { core_->ChooseOnCard(item); };

  auto* ComboBox1 = NewCombo(TabSheet2, kComboTexts[0]);
  auto* ComboBox2 = NewCombo(TabSheet3, kComboTexts[1]);
  auto* ComboBox3 = NewCombo(TabSheet4, kComboTexts[2]);
  auto* Button3 = NewButton(TabSheet3, kButtonCaptions[2], {48, 32, 75, 25});  // has no action

  auto* CheckBox1 = NewCheck(Panel2, kCheckCaptions[0], {8, 328, 73, 17});
  CheckBox2 = NewCheck(Panel2, kCheckCaptions[1], {80, 328, 97, 17});

  QWidget::setTabOrder(Button1, Button2);
  QWidget::setTabOrder(Button2, PageControl1);
  QWidget::setTabOrder(PageControl1, ListBox1);
  QWidget::setTabOrder(ListBox1, CheckBox1);
  QWidget::setTabOrder(CheckBox1, CheckBox2);

  controls_.buttons = {Button1, Button2, Button3};
  controls_.checks = {CheckBox1, CheckBox2};
  controls_.combos = {ComboBox1, ComboBox2, ComboBox3};
  controls_.list = ListBox1;
  controls_.view = Panel3;

  const std::pair<QObject*, const char*> names[] = {
      {Panel1, "Panel1"},        {Panel2, "Panel2"},
      {Panel3, "Panel3"},        {Timer1, "Timer1"},
      {Button1, "Button1"},      {Button2, "Button2"},
      {Button3, "Button3"},      {PageControl1, "PageControl1"},
      {TabSheet2, "TabSheet2"},  {TabSheet3, "TabSheet3"},
      {TabSheet4, "TabSheet4"},  {ListBox1, "ListBox1"},
      {ComboBox1, "ComboBox1"},  {ComboBox2, "ComboBox2"},
      {ComboBox3, "ComboBox3"},  {CheckBox1, "CheckBox1"},
      {CheckBox2, "CheckBox2"},  {View, "View"},
      {MenuButton, "MenuButton"}};
  for (const auto& [widget, name] : names) widget->setObjectName(QString::fromLatin1(name));
  move(246, 173);
  resize(kClientWidth, kClientHeight);
  // The user cannot cut off a control of the command panel, nor make the view narrower than
  // its two scrolling margins, in any window (the viewer's and a network match's too); a
  // script or a recording sets any view size it names (ResizeView lowers the bound for it).
  setMinimumSize(kPanelWidth + 100,
                 kBannerHeight + Panel2->childrenRect().bottom() + 1 + Panel2->frameWidth());
  LayoutPanels();
}

void TForm1::LayoutPanels() {
  const int w = width();
  const int h = height();
  Put(Panel1, {0, 0, w, kBannerHeight});
  Put(MenuButton, {std::max(0, w - kMenuButtonWidth - 4), 4, kMenuButtonWidth, kBannerHeight - 8});
  Put(Panel2, {0, kBannerHeight, kPanelWidth, std::max(0, h - kBannerHeight)});
  const int bar = timeline_ && !timeline_->isHidden() ? Timeline::kHeight : 0;
  // A window smaller than its minimum (a desktop without a window manager allows it) still
  // leaves the view a pixel, so that every size the view reports is one a recording can hold.
  Put(Panel3, {kPanelWidth, kBannerHeight, std::max(1, w - kPanelWidth),
               std::max(1, h - kBannerHeight - bar)});
  if (bar > 0) Put(timeline_, {kPanelWidth, h - bar, std::max(0, w - kPanelWidth), bar});
}
