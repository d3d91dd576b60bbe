// The device's face in the window: its keys, display, lamps, paper and
// buttons made from the template, laid out at a zoom, and drawn from the
// device's view.
#pragma once

#include <QFont>
#include <QWidget>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "emulator/contract.h"
#include "frontpanel/key_button.h"

class DigitPainter;
class DisplayPanel;
class PaperPane;
class QLabel;
class QPushButton;
struct ControlTemplate;
struct FaceImages;

class FaceView : public QWidget {
 public:
  // `keyChanged` hears the device keys' presses and releases, `clicked` the
  // buttons' ids.
  FaceView(const FaceImages& images, KeyButton::KeyHandler keyChanged, std::function<void(int id)> clicked,
           QWidget* parent);

  QWidget* control(int id) const;
  KeyButton* key(int id) const;
  PaperPane* paper() const { return paper_; }
  QString powerCaption() const;
  // The id of the numbered control at a screen position; 0 over a label,
  // a frame or nothing.
  int controlIdAt(const QPoint& globalPosition) const;

  // Every control at `zoom`, the paper in `paperFont` zoomed with it.
  void layOut(double zoom, const QFont& paperFont);

  void showDigits(const DeviceView& view);
  void showLamps(const DeviceView& view);
  void showPower(const DeviceView& view);
  // The device never runs again: the power button goes and the line under
  // the display says why.
  void showStopped(const DeviceView& view);
  // A one-line notice under the display.
  void showNotice(const QString& text);
  void fitNotice();

 private:
  QWidget* makeControl(const ControlTemplate& item, const FaceImages& images);
  QWidget* makeButton(const ControlTemplate& item);
  void setTabOrderByFace();
  void styleFrame(QWidget* frame, const ControlTemplate& item, const QRect& rect, const QFont& font, double zoom);
  void styleLamp(QWidget* lamp, const QFont& font, double zoom);

  KeyButton::KeyHandler keyChanged_;
  std::function<void(int)> clicked_;
  PaperPane* paper_ = nullptr;
  QPushButton* power_ = nullptr;
  QLabel* displayLabel_ = nullptr;
  DisplayPanel* display_ = nullptr;
  std::array<DigitPainter*, 4> digits_{};
  std::array<QWidget*, 4> points_{};
  std::vector<std::pair<const ControlTemplate*, QWidget*>> placed_;  // every control with its template
  QString notice_;  // the whole notice; its line may show it shortened
  bool stopped_ = false;
};
