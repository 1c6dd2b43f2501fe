// Pictures of the view: the thoughts' glyphs, screenshots and F12's files.
#include <QDateTime>
#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QStandardPaths>
#include <algorithm>

#include "qt/form.h"
#include "qt/widget_controls.h"
#include "util/translate.h"

namespace {

int NextPowerOfTwo(int v) {
  int p = 1;
  while (p < v) p *= 2;
  return p;
}

// White glyphs of the 256 Windows-1251 bytes, coverage in alpha, 16 x 16 cells.
Image GlyphPicture(int& cellWidth, int& cellHeight) {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setPixelSize(10);
  font.setStyleHint(QFont::Monospace);
  const QFontMetrics metrics(font);
  cellWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
  cellHeight = std::max(1, metrics.height());
  const int w = NextPowerOfTwo(cellWidth * 16);
  const int h = NextPowerOfTwo(cellHeight * 16);
  QImage picture(w, h, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  {
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (int b = 32; b < 256; ++b) {
      const QRect cell((b % 16) * cellWidth, (b / 16) * cellHeight, cellWidth, cellHeight);
      painter.drawText(cell, Qt::AlignCenter, ToQt(std::string(1, static_cast<char>(b))));
    }
  }
  const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
  Image image;
  image.Width = w;
  image.Height = h;
  image.Pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  for (int y = 0; y < h; ++y) {
    std::copy_n(rgba.constScanLine(y), static_cast<size_t>(w) * 4,
                image.Pixels.begin() + static_cast<ptrdiff_t>(y) * w * 4);
  }
  return image;
}

// A file name not yet taken in `dir`: base.png, else base-2.png, base-3.png, ...
QString FreePictureName(const QDir& dir, const QString& base) {
  QString name = base + QStringLiteral(".png");
  for (int n = 2; dir.exists(name); ++n) name = base + QStringLiteral("-%1.png").arg(n);
  return dir.filePath(name);
}

}  // namespace

void TForm1::DrawThoughts() {
  if (!session_->view().thoughtsShown()) return;
  if (!atlasTried_) {
    atlasTried_ = true;
    int cellWidth = 0, cellHeight = 0;
    const Image picture = GlyphPicture(cellWidth, cellHeight);
    atlas_ = {UploadGlyphAtlas(picture), picture.Width, picture.Height, cellWidth, cellHeight};
  }
  const Frontend& f = session_->frontend();
  const std::vector<uint8_t> hidden = f.HiddenObjects();  // no thoughts out of sight
  DrawThoughtLabels(session_->world(), f.DrawnCameraX(), f.DrawnCameraY(), atlas_, f.DrawnZoom(),
                    &hidden);
}

QImage TForm1::GrabView() {
  if (!created_ || !hasGL_) return {};
  QImage picture;
  grab_ = &picture;
  session_->view().Redraw();
  grab_ = nullptr;
  return picture;
}

void TForm1::SaveScreenshot() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty()) folder = QDir::homePath();  // no pictures folder known
  const QDir dir(folder + QStringLiteral("/rtsdemo"));
  const QImage picture = dir.mkpath(QStringLiteral(".")) ? GrabView() : QImage();
  const QString path =
      FreePictureName(dir, QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss"));
  if (!dir.exists()) {
    session_->view().SetNote(
        Tr("notes", "Picture not saved: no folder %1", {dir.path().toStdString()}));
  } else if (picture.isNull()) {
    session_->view().SetNote(Tr("notes", "Picture not saved: the view does not draw"));
  } else if (!picture.save(path, "PNG")) {
    session_->view().SetNote(Tr("notes", "Picture not saved: %1", {path.toStdString()}));
  } else {
    lastPicture_ = path;
    session_->view().SetNote(Tr("notes", "Picture: %1", {path.toStdString()}));
  }
}

bool TForm1::Screenshot(const std::string& file, std::string& error) {
  if (!hasGL_) {
    error = "screenshot needs OpenGL";
  } else if (lastFrame_.isNull()) {
    error = "screenshot before the first frame";
  } else if (!lastFrame_.save(QString::fromStdString(file), "PNG")) {
    error = "cannot write " + file;
  } else {
    return true;
  }
  return false;
}
