// The face built from the template and drawn from the device's view.
#include "frontpanel/face_view.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "frontpanel/accessible_text.h"
#include "frontpanel/digit_painter.h"
#include "frontpanel/display_panel.h"
#include "frontpanel/face_images.h"
#include "frontpanel/face_layout.h"
#include "frontpanel/keyboard_map.h"
#include "frontpanel/lamp_button.h"
#include "frontpanel/paper_pane.h"
#include "print/print_commands.h"
#include "resources/controls.h"
#include "resources/ids.h"

namespace {

constexpr const char* CONTROL_ID = "controlId";
constexpr double LAMP_PIXELS_AT_100 = 12;  // a lamp's diameter at 100 %

// Frames are etched lines with nothing filled in, so the digits' unlit
// segments, painted in the face colour, cannot be seen whatever the style.
// The caption sits on the line, half its height above it.
QString FrameStyle(int fontPixels) {
  return QStringLiteral(
             "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: %1px; background: transparent; }"
             "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 4px; padding: 0 1px; }")
      .arg(fontPixels / 2 + 1);
}

// The frame under the AC keys names them in its caption with dots between,
// "....All....No gauge....". The dots are counted for the face's font so
// that each name stands centred over its key and the caption fits the frame.
QString DottedCaption(const QString& caption, const QFontMetricsF& metrics, const QRect& frame,
                      const std::array<int, 2>& keyCentres) {
  const QStringList names = caption.split(QLatin1Char('.'), Qt::SkipEmptyParts);
  const qreal dot = metrics.horizontalAdvance(QLatin1Char('.'));
  QString text;
  qreal x = frame.left() + 5;  // the title's offset and padding below
  for (qsizetype i = 0; i < names.size() && i < qsizetype(keyCentres.size()); ++i) {
    const qreal width = metrics.horizontalAdvance(names[i]);
    const int dots = std::max(1, qRound((keyCentres[i] - width / 2 - x) / dot));
    text += QString(dots, QLatin1Char('.')) + names[i];
    x += dots * dot + width;
  }
  return text + QString(std::max(0, int((frame.right() - 5 - x) / dot)), QLatin1Char('.'));
}

QString Hex(unsigned value, int digits) {
  return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

QString ControlName(int id) { return QStringLiteral("ctl%1").arg(id); }

}  // namespace

// Controls are made in reverse template order so that the first in the
// template lies on top (keys over the frames round them), then the focusable
// ones are chained in the order of the face. The digits and their points lie
// in the display panel, which stands above the frame round them.
FaceView::FaceView(const FaceImages& images, KeyButton::KeyHandler keyChanged, std::function<void(int id)> clicked,
                   QWidget* parent)
    : QWidget(parent), keyChanged_(std::move(keyChanged)), clicked_(std::move(clicked)) {
  const auto controls = FaceControls();
  for (auto item = controls.rbegin(); item != controls.rend(); ++item) {
    const bool inDisplay = item->kind == ControlKind::Digit || item->kind == ControlKind::Point;
    if (inDisplay && !display_) display_ = new DisplayPanel(this);
    QWidget* widget = makeControl(*item, images);
    placed_.emplace_back(&*item, widget);
    if (item->id < 0) continue;
    widget->setObjectName(ControlName(item->id));
    widget->setProperty(CONTROL_ID, item->id);
    widget->setAccessibleName(AccessibleName(*item));
    widget->setAccessibleDescription(AccessibleDescription(item->id));
  }
  display_->setAccessibleDescription(AccessibleDescription(IDC_DIGIT_1));
  setTabOrderByFace();
  displayLabel_->setText(QString());
}

QWidget* FaceView::makeControl(const ControlTemplate& item, const FaceImages& images) {
  const QString text = QLatin1String(item.text);
  switch (item.kind) {
    case ControlKind::Key: {
      const KeyControl* control = FindKeyControl(item.id);
      auto* key = new KeyButton(item.id, control ? control->key : 0, text, keyChanged_, this);
      const QString names = PcKeyNamesFor(item.id);
      if (!names.isEmpty()) key->setToolTip(QStringLiteral("PC key: %1").arg(names));
      return key;
    }
    case ControlKind::Button:
    case ControlKind::DefaultButton:
    case ControlKind::HiddenButton: return makeButton(item);
    case ControlKind::Frame: {
      // A frame lies over the lamps and keys it surrounds; clicks and help
      // requests go through it to them.
      auto* frame = new QGroupBox(text, this);
      frame->setAttribute(Qt::WA_TransparentForMouseEvents);
      return frame;
    }
    case ControlKind::Lamp: return new LampButton(text, this);
    case ControlKind::Label: {
      auto* label = new QLabel(text, this);
      if (item.id == IDC_DISPLAY_LABEL) displayLabel_ = label;
      return label;
    }
    case ControlKind::Paper: return paper_ = new PaperPane(this);
    case ControlKind::FacePicture: return new FacePainter(images.face, this);
    case ControlKind::ArcPicture: return new ArcPainter(images.arc, this);
    case ControlKind::Digit: return digits_[item.id - IDC_DIGIT_1] = new DigitPainter(display_);
    case ControlKind::Point: return points_[item.id - IDC_POINT_1] = new PointWidget(display_);
  }
  return new QWidget(this);
}

QWidget* FaceView::makeButton(const ControlTemplate& item) {
  auto* button = new QPushButton(QLatin1String(item.text), this);
  button->setAutoDefault(false);
  if (item.kind == ControlKind::DefaultButton) {
    button->setDefault(true);
    power_ = button;
  }
  if (item.kind == ControlKind::HiddenButton) button->hide();
  if (item.id == IDC_PRINT) button->setEnabled(PrintingAvailable());
  if (item.id == IDC_PAPER_FEED) button->setToolTip(QStringLiteral("Paper feed (PC key: %1)").arg(PcKeyNamesFor(item.id)));
  if (item.id == IDC_PAPER_CLEAR) button->setToolTip(QStringLiteral("Clear the paper"));
  connect(button, &QPushButton::clicked, this, [this, id = item.id] { clicked_(id); });
  return button;
}

void FaceView::setTabOrderByFace() {
  QWidget* previous = nullptr;
  for (int id : FocusOrder()) {
    QWidget* widget = control(id);
    if (previous) setTabOrder(previous, widget);
    previous = widget;
  }
}

QWidget* FaceView::control(int id) const { return id < 0 ? nullptr : findChild<QWidget*>(ControlName(id)); }

KeyButton* FaceView::key(int id) const { return dynamic_cast<KeyButton*>(control(id)); }

QString FaceView::powerCaption() const { return power_->text(); }

int FaceView::controlIdAt(const QPoint& globalPosition) const {
  QWidget* widget = childAt(mapFromGlobal(globalPosition));
  while (widget && widget != this && !widget->property(CONTROL_ID).isValid()) widget = widget->parentWidget();
  if (!widget || widget == this) return 0;
  return widget->property(CONTROL_ID).toInt();
}

// Every control at the zoom, with the face's lettering at the same scale.
// The paper pane widens until its font shows a whole line, and the face with
// it.
void FaceView::layOut(double zoom, const QFont& paperFont) {
  QFont face = font();
  face.setPixelSize(FaceFontPixels(zoom));
  setFont(face);
  QFont lampFont = face;
  lampFont.setPixelSize(FaceFontPixels(zoom, true));
  paper_->setFont(ZoomedFont(paperFont, zoom));
  const int paperGrowth =
      std::max(0, paper_->widthForColumns(PAPER_COLUMNS) - FaceRect(*FindControl(IDC_PAPER), zoom).width());
  QRect display;
  for (const auto& [item, widget] : placed_)
    if (widget->parentWidget() == display_) display |= FaceRect(*item, zoom, paperGrowth);
  display_->setGeometry(display);
  for (const auto& [item, widget] : placed_) {
    QRect rect = FaceRect(*item, zoom, paperGrowth);
    if (widget->parentWidget() == display_) rect.translate(-display.topLeft());
    widget->setGeometry(rect);
    if (item->kind == ControlKind::Frame) styleFrame(widget, *item, rect, face, zoom);
    if (item->kind == ControlKind::Lamp) styleLamp(widget, lampFont, zoom);
  }
  setFixedSize(FaceSize(zoom, paperGrowth));
}

void FaceView::styleFrame(QWidget* frame, const ControlTemplate& item, const QRect& rect, const QFont& font,
                          double zoom) {
  frame->setStyleSheet(FrameStyle(font.pixelSize()));
  frame->setFont(font);  // a styled frame keeps the font it had
  if (!*item.text) return;
  const std::array<int, 2> keys{FaceRect(*FindControl(IDC_KEY_AC_ALL), zoom).center().x(),
                                FaceRect(*FindControl(IDC_KEY_AC_NO_GAUGE), zoom).center().x()};
  static_cast<QGroupBox*>(frame)->setTitle(DottedCaption(QLatin1String(item.text), QFontMetricsF(font), rect, keys));
}

// The lamp itself grows with the face, as its caption does. A lamp's caption
// is never cut: the template's widths were made for a narrower font than
// some desktops use.
void FaceView::styleLamp(QWidget* lamp, const QFont& font, double zoom) {
  lamp->setFont(font);
  lamp->setStyleSheet(QStringLiteral("QRadioButton::indicator { width: %1px; height: %1px; }")
                          .arg(std::max(6, int(std::lround(LAMP_PIXELS_AT_100 * zoom)))));
  lamp->resize(std::max(lamp->width(), lamp->sizeHint().width()), lamp->height());
}

void FaceView::showLamps(const DeviceView& view) {
  for (const LampControl& lamp : LampControls) {
    auto* button = dynamic_cast<LampButton*>(control(lamp.controlId));
    if (!button) continue;
    const bool lit = view.lamps & lamp.mask;
    button->setChecked(lit);
    button->setAccessibleName(LampAccessibleName(QLatin1String(lamp.name), lit));
  }
}

// While the device is off its display shows nothing, whatever it last held.
void FaceView::showDigits(const DeviceView& view) {
  const DigitState shown = view.on ? view.digits : DigitState{{DIGIT_BLANK, DIGIT_BLANK, DIGIT_BLANK, DIGIT_BLANK},
                                                              {false, false, false, false}};
  for (size_t i = 0; i < digits_.size(); ++i) {
    digits_[i]->setDigit(shown.digit[i]);
    points_[i]->setVisible(shown.point[i]);
  }
  display_->showText(view.on ? DisplayText(shown) : QStringLiteral("off"));
}

// The button names what it does next: "OFF" while the device is on.
void FaceView::showPower(const DeviceView& view) {
  showDigits(view);
  power_->setText(QLatin1String(view.on ? TEXT_OFF : TEXT_ON));
  power_->setAccessibleDescription(PowerAccessibleDescription(view.on));
}

void FaceView::showStopped(const DeviceView& view) {
  stopped_ = true;
  power_->setEnabled(false);
  if (view.stop == StopReason::Undecoded) {
    displayLabel_->setText(QStringLiteral("Device stopped: opcode %1 at %2 is not decoded")
                               .arg(Hex(view.stopOpcode, 2), Hex(view.stopAddress, 4)));
  } else {
    displayLabel_->setText(QStringLiteral("Device stopped: the firmware halted"));
  }
}

void FaceView::showNotice(const QString& text) {
  notice_ = text;
  fitNotice();
}

// The notice fits its line, shortened in the middle where it must (a path
// says most at its ends); the whole text is its tooltip and what a screen
// reader reads.
void FaceView::fitNotice() {
  if (notice_.isEmpty() || stopped_) return;
  displayLabel_->setText(displayLabel_->fontMetrics().elidedText(notice_, Qt::ElideMiddle, displayLabel_->width()));
  displayLabel_->setToolTip(notice_);
  displayLabel_->setAccessibleName(notice_);
}
