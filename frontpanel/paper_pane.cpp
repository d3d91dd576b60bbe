// Paper pane: the model keeps the CR LF text; the widget shows the same lines.
#include "frontpanel/paper_pane.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextCursor>
#include <cmath>
#include <cstdlib>

#include "app/settings.h"

namespace {

// The widget separates lines by paragraphs: CR LF becomes one line break.
QString WidgetTextFor(const char* text, size_t length, bool& heldCarriageReturn) {
  QString out;
  out.reserve(static_cast<qsizetype>(length) + 1);
  size_t i = 0;
  if (heldCarriageReturn && length > 0 && text[0] != '\n') out += QLatin1Char('\r');
  heldCarriageReturn = false;
  for (; i < length; ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 == length) {
        heldCarriageReturn = true;
        break;
      }
      if (text[i + 1] == '\n') continue;
    }
    out += QLatin1Char(c);
  }
  return out;
}

}  // namespace

PaperPane::PaperPane(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setUndoRedoEnabled(false);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void PaperPane::append(const char* text, size_t length) {
  if (length == 0) return;
  text_.append(text, length);
  const QString added = WidgetTextFor(text, length, heldCarriageReturn_);
  if (!added.isEmpty()) {
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(added);
  }
  scrollToBottom();
}

void PaperPane::clearPaper() {
  text_.clear();
  heldCarriageReturn_ = false;
  clear();
}

// The document lays a line out within its margins, and the horizontal scroll
// range is what the widest line needs beyond the viewport.
int PaperPane::widthForColumns(int columns) const {
  const qreal text = QFontMetricsF(font()).horizontalAdvance(QString(columns, QLatin1Char('W')));
  const qreal line = text + 2 * document()->documentMargin() + cursorWidth();
  return static_cast<int>(std::ceil(line)) + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

void PaperPane::scrollToBottom() {
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->maximum());
}

// A negative height is a character height in pixels, as the stored setting
// has always meant; a positive one is taken as a cell height.
QFont PaperFont(const Settings& settings) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QString family = QString::fromStdString(settings.Font);
  if (!family.isEmpty() && QFontDatabase::hasFamily(family)) font.setFamily(family);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (settings.Height != 0) font.setPixelSize(std::abs(ClampFontHeight(settings.Height)));
  if (settings.Weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(settings.Weight, 1, 1000)));
  return font;
}

QFont ZoomedFont(const QFont& font, double zoom) {
  QFont zoomed = font;
  if (font.pixelSize() > 0)
    zoomed.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * zoom))));
  else if (font.pointSizeF() > 0)
    zoomed.setPointSizeF(font.pointSizeF() * zoom);
  return zoomed;
}
