// Pictures of the view: the thoughts' glyphs, screenshots and F12's files, and the user's
// folders they go to.
#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QStandardPaths>
#include <algorithm>

#include "qt/form.h"

namespace {

int NextPowerOfTwo(int v) {
  int p = 1;
  while (p < v) p *= 2;
  return p;
}

std::string UserFolder(QStandardPaths::StandardLocation location) {
  const QString folder = QStandardPaths::writableLocation(location);
  return (folder.isEmpty() ? QDir::homePath() : folder).toStdString();
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
  // Rows of 4-byte pixels have no padding.
  const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
  return {w, h, {rgba.constBits(), rgba.constBits() + rgba.sizeInBytes()}};
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
  if (!core_->created() || !hasGL_) return {};
  QImage picture;
  grab_ = &picture;
  session_->view().Redraw();
  grab_ = nullptr;
  return picture;
}

std::string TForm1::DocumentsFolder() {
  return UserFolder(QStandardPaths::DocumentsLocation);
}

std::string TForm1::PicturesFolder() {
  return UserFolder(QStandardPaths::PicturesLocation);
}

WindowShell::Picture TForm1::SaveView(const std::string& path) {
  const QImage picture = GrabView();
  if (picture.isNull()) return Picture::NotDrawn;
  return picture.save(QString::fromStdString(path), "PNG") ? Picture::Saved : Picture::NotWritten;
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
