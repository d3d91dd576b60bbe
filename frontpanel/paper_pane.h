// The paper strip: a read-only, selectable text pane holding every printed
// line. The text is kept byte for byte (CR LF lines, 8-bit characters) in a
// model string, and each append is added to the widget at its end only, so a
// paper of 100,000 lines stays fast.
#pragma once

#include <QPlainTextEdit>
#include <string>

struct Settings;

// The device prints 16 characters a line; the pane always shows them whole.
constexpr int PAPER_COLUMNS = 16;

class PaperPane : public QPlainTextEdit {
 public:
  explicit PaperPane(QWidget* parent = nullptr);
  // Adds CR LF-formed text at the end and scrolls to the newest line.
  void append(const char* text, size_t length);
  void clearPaper();
  // Exactly the bytes appended since the last clear: what the log holds.
  const std::string& paper() const { return text_; }
  // The pane's width that shows `columns` characters of its font with no
  // horizontal scrolling, its frame and vertical scroll bar included.
  int widthForColumns(int columns) const;

 private:
  void scrollToBottom();
  std::string text_;
  bool heldCarriageReturn_ = false;  // a CR at the end of an append waits for its LF
};

// The pane's font from the settings' face, height and weight; the system's
// fixed-pitch font stands in for a face that is not installed.
QFont PaperFont(const Settings& settings);
// `font` at `zoom` times its size, in the unit it was given in.
QFont ZoomedFont(const QFont& font, double zoom);
