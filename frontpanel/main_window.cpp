// The main window: builds the face from the template, carries out the menu
// and button commands as machine commands, and draws the machine's events.
#include "frontpanel/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCursor>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QWindow>
#include <cmath>
#include <vector>

#include "app/settings.h"
#include "app/startup.h"
#include "emulator/machine.h"
#include "frontpanel/about_dialog.h"
#include "frontpanel/accessible_text.h"
#include "frontpanel/builtin_resources.h"
#include "frontpanel/digit_painter.h"
#include "frontpanel/display_panel.h"
#include "frontpanel/face_images.h"
#include "frontpanel/face_layout.h"
#include "frontpanel/help.h"
#include "frontpanel/key_button.h"
#include "frontpanel/keyboard_map.h"
#include "frontpanel/lamp_button.h"
#include "frontpanel/paper_pane.h"
#include "frontpanel/sound.h"
#include "frontpanel/sound_dialog.h"
#include "frontpanel/version_record.h"
#include "frontpanel/zoom.h"
#include "print/print_commands.h"
#include "resources/controls.h"
#include "resources/ids.h"
#include "resources/menu_table.h"

namespace {

constexpr const char* CAPTION = "TM650E - Knitting Computer Emulator";
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

QString ZoomActionName(int choice) { return QStringLiteral("zoom%1").arg(choice); }

bool NeedsPrinting(int id) {
  return id == IDM_PAGE_SETUP || id == IDC_PRINT || id == IDM_FONT || id == IDM_HEADER_FOOTER ||
         id == IDM_PRINT_PREVIEW || id == IDM_SAVE_PAPER;
}

bool DefaultMessageBox(QWidget* owner, const QString& caption, const QString& text, bool question) {
  if (question)
    return QMessageBox::question(owner, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
  box.exec();
  return true;
}

}  // namespace

MainWindow::MainWindow(Machine& machine, Settings& settings, const FaceImages& images, SoundLayer& sound,
                       QWidget* parent)
    : QDialog(parent), machine_(machine), settings_(settings), sound_(sound) {
  EnsureBuiltinResources();
  setWindowTitle(QLatin1String(CAPTION));
  setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  messageBox_ = [this](const QString& caption, const QString& text, bool question) {
    // Boxes that report on the device have no owner, as the device's own did.
    return DefaultMessageBox(question ? this : nullptr, caption, text, question);
  };
  buildFace(images);
  buildMenus();
  paperFont_ = PaperFont(settings_);
  displayLabel_->setText(QString());
  applyStartZoom();
  qApp->installEventFilter(this);
  // The machine calls this on its own thread: it only queues the drain here.
  view_ = MachineAttach(machine_, [this] { QMetaObject::invokeMethod(this, &MainWindow::drainEvents, Qt::QueuedConnection); });
  paper_->clearPaper();
  paper_->append(view_.paper.data(), view_.paper.size());
  showDigits();
  showLamps();
  showPower();
  if (deviceStopped()) showStopped();
}

MainWindow::~MainWindow() {
  closing_ = true;
  MachineDetach(machine_);
  releaseHeldKeys();
  qApp->removeEventFilter(this);
}

// Controls are made in reverse template order so that the first in the
// template lies on top (keys over the frames round them), then the focusable
// ones are chained in the order of the face. The digits and their points lie
// in the display panel, which stands above the frame round them.
void MainWindow::buildFace(const FaceImages& images) {
  face_ = new QWidget(this);
  const auto controls = FaceControls();
  for (auto item = controls.rbegin(); item != controls.rend(); ++item) {
    const bool inDisplay = item->kind == ControlKind::Digit || item->kind == ControlKind::Point;
    if (inDisplay && !display_) display_ = new DisplayPanel(face_);
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
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(face_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* MainWindow::makeControl(const ControlTemplate& item, const FaceImages& images) {
  const QString text = QLatin1String(item.text);
  switch (item.kind) {
    case ControlKind::Key: {
      const KeyControl* control = FindKeyControl(item.id);
      auto* key = new KeyButton(item.id, control ? control->key : 0, text,
                                [this](uint8_t device, bool down) { keyChanged(device, down); }, face_);
      const QString names = PcKeyNamesFor(item.id);
      if (!names.isEmpty()) key->setToolTip(QStringLiteral("PC key: %1").arg(names));
      return key;
    }
    case ControlKind::Button:
    case ControlKind::DefaultButton:
    case ControlKind::HiddenButton: {
      auto* button = new QPushButton(text, face_);
      button->setAutoDefault(false);
      if (item.kind == ControlKind::DefaultButton) {
        button->setDefault(true);
        power_ = button;
      }
      if (item.kind == ControlKind::HiddenButton) button->hide();
      if (item.id == IDC_PRINT) button->setEnabled(PrintingAvailable());
      if (item.id == IDC_PAPER_FEED) button->setToolTip(QStringLiteral("Paper feed (PC key: %1)").arg(PcKeyNamesFor(item.id)));
      if (item.id == IDC_PAPER_CLEAR) button->setToolTip(QStringLiteral("Clear the paper"));
      connect(button, &QPushButton::clicked, this, [this, id = item.id] { command(id); });
      return button;
    }
    case ControlKind::Frame: {
      // A frame lies over the lamps and keys it surrounds; clicks and help
      // requests go through it to them.
      auto* frame = new QGroupBox(text, face_);
      frame->setAttribute(Qt::WA_TransparentForMouseEvents);
      return frame;
    }
    case ControlKind::Lamp: return new LampButton(text, face_);
    case ControlKind::Label: {
      auto* label = new QLabel(text, face_);
      if (item.id == IDC_DISPLAY_LABEL) displayLabel_ = label;
      return label;
    }
    case ControlKind::Paper: return paper_ = new PaperPane(face_);
    case ControlKind::FacePicture: return new FacePainter(images.face, face_);
    case ControlKind::ArcPicture: return new ArcPainter(images.arc, face_);
    case ControlKind::Digit: return digits_[item.id - IDC_DIGIT_1] = new DigitPainter(display_);
    case ControlKind::Point: return points_[item.id - IDC_POINT_1] = new PointWidget(display_);
  }
  return new QWidget(face_);
}

void MainWindow::setTabOrderByFace() {
  QWidget* previous = nullptr;
  for (int id : FocusOrder()) {
    QWidget* widget = control(id);
    if (previous) setTabOrder(previous, widget);
    previous = widget;
  }
}

// Every control at the zoom, with the face's lettering at the same scale.
// The paper pane widens until its font shows a whole line, and the face with
// it; the window follows the face's size.
void MainWindow::layoutFace() {
  QFont font = face_->font();
  font.setPixelSize(FaceFontPixels(zoom_));
  face_->setFont(font);
  QFont lampFont = font;
  lampFont.setPixelSize(FaceFontPixels(zoom_, true));
  paper_->setFont(ZoomedFont(paperFont_, zoom_));
  const int paperGrowth =
      std::max(0, paper_->widthForColumns(PAPER_COLUMNS) - FaceRect(*FindControl(IDC_PAPER), zoom_).width());
  QRect display;
  for (const auto& [item, widget] : placed_)
    if (widget->parentWidget() == display_) display |= FaceRect(*item, zoom_, paperGrowth);
  display_->setGeometry(display);
  for (const auto& [item, widget] : placed_) {
    QRect rect = FaceRect(*item, zoom_, paperGrowth);
    if (widget->parentWidget() == display_) rect.translate(-display.topLeft());
    widget->setGeometry(rect);
    if (item->kind == ControlKind::Frame) {
      widget->setStyleSheet(FrameStyle(font.pixelSize()));
      widget->setFont(font);  // a styled frame keeps the font it had
      if (*item->text) {
        const std::array<int, 2> keys{FaceRect(*FindControl(IDC_KEY_AC_ALL), zoom_).center().x(),
                                        FaceRect(*FindControl(IDC_KEY_AC_NO_GAUGE), zoom_).center().x()};
        static_cast<QGroupBox*>(widget)->setTitle(DottedCaption(QLatin1String(item->text), QFontMetricsF(font), rect, keys));
      }
    }
    if (item->kind == ControlKind::Lamp) {
      widget->setFont(lampFont);
      // The lamp itself grows with the face, as its caption does.
      widget->setStyleSheet(QStringLiteral("QRadioButton::indicator { width: %1px; height: %1px; }")
                                .arg(std::max(6, int(std::lround(LAMP_PIXELS_AT_100 * zoom_)))));
      // A lamp's caption is never cut: the template's widths were made for
      // a narrower font than some desktops use.
      widget->resize(std::max(widget->width(), widget->sizeHint().width()), widget->height());
    }
  }
  face_->setFixedSize(FaceSize(zoom_, paperGrowth));
  layout()->activate();
  fitNotice();
}

// The kept zoom (100 % at first start) where the window fits its screen,
// else the fit; the kept choice stays for a larger screen.
void MainWindow::applyStartZoom() {
  applyZoom(LoadZoomChoice().value_or(100));
  if (!fitsScreen()) applyZoom(ZOOM_FIT);
}

void MainWindow::openAt(std::optional<QPoint> place) {
  QScreen* target = place ? QGuiApplication::screenAt(*place) : nullptr;
  if (!target) target = QGuiApplication::primaryScreen();
  if (!target) return;
  setScreen(target);
  applyStartZoom();
  const QRect room = target->availableGeometry();
  const QSize framed = size() + frameAllowance();
  QRect wanted(room.center() - QPoint(framed.width() / 2, framed.height() / 2), framed);
  if (place && room.contains(*place)) wanted.moveTopLeft(*place);
  move(KeptInside(wanted, room));
}

// A zoom that would not fit the screen is not offered.
void MainWindow::chooseZoom(int choice) {
  if (choice != ZOOM_FIT && choice / 100.0 > largestFittingZoom()) return;
  applyZoom(choice);
  SaveZoomChoice(choice);
  keepOnScreen();
}

// To the next choice up or down that fits; from Fit to Screen, from the
// zoom it came to.
void MainWindow::stepZoom(int direction) {
  const double now = zoom_ * 100;
  int next = 0;
  for (int choice : ZOOM_CHOICES) {
    if (choice == ZOOM_FIT || choice / 100.0 > largestFittingZoom()) continue;
    const bool beyond = direction > 0 ? choice > now + 0.5 : choice < now - 0.5;
    if (beyond && (next == 0 || (direction > 0) == (choice < next))) next = choice;
  }
  if (next) chooseZoom(next);
}

// From the face as laid out now: it grows with the zoom, the rest does not.
double MainWindow::largestFittingZoom() const {
  const QSize face = face_->size();
  const QSize atFull(qRound(face.width() / zoom_), qRound(face.height() / zoom_));
  return FittingZoom(atFull, size() - face + frameAllowance(), screen()->availableGeometry().size()) + 0.005;
}

void MainWindow::offerFittingZooms() {
  const double largest = largestFittingZoom();
  for (int choice : ZOOM_CHOICES)
    if (QAction* item = findChild<QAction*>(ZoomActionName(choice)))
      item->setEnabled(choice == ZOOM_FIT || choice / 100.0 <= largest || choice == zoomChoice_);
}

void MainWindow::applyZoom(int choice) {
  zoomChoice_ = choice;
  zoom_ = choice == ZOOM_FIT ? fittingZoom() : choice / 100.0;
  layoutFace();
  if (QAction* chosen = findChild<QAction*>(ZoomActionName(choice))) chosen->setChecked(true);
  offerFittingZooms();
}

// Measured at 100 %: the face grows with the zoom and the rest (menu bar,
// frame) does not. The paper's font follows the zoom too, so that guess is
// nearly right; steps of 1 % down settle what rounding left over.
double MainWindow::fittingZoom() {
  zoom_ = 1;
  layoutFace();
  const QSize face = face_->size();
  zoom_ = FittingZoom(face, size() - face + frameAllowance(), screen()->availableGeometry().size());
  layoutFace();
  for (int step = 0; step < 10 && !fitsScreen(); ++step) {
    zoom_ -= 0.01;
    layoutFace();
  }
  return zoom_;
}

bool MainWindow::fitsScreen() const {
  const QSize room = screen()->availableGeometry().size();
  const QSize framed = size() + frameAllowance();
  return framed.width() <= room.width() && framed.height() <= room.height();
}

QSize MainWindow::frameAllowance() const {
  const QSize frame = frameGeometry().size() - size();
  return frame.isEmpty() ? WINDOW_FRAME_ROOM : frame;
}

// After a zoom the window is pulled back inside its screen where it can be.
void MainWindow::keepOnScreen() {
  if (isVisible()) move(KeptInside(frameGeometry(), screen()->availableGeometry()));
}

// Fit to Screen follows the window to another screen.
void MainWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (watchingScreen_ || !windowHandle()) return;
  watchingScreen_ = true;
  connect(windowHandle(), &QWindow::screenChanged, this, [this] {
    if (zoomChoice_ == ZOOM_FIT || !fitsScreen()) applyZoom(ZOOM_FIT);
    offerFittingZooms();
  });
}

void MainWindow::buildMenus() {
  auto* bar = new QMenuBar(this);
  auto addMenu = [&](const char* title, std::span<const MenuItem> items) {
    QMenu* menu = bar->addMenu(QLatin1String(title));
    for (const MenuItem& item : items) {
      if (item.id == 0) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(QLatin1String(item.text));
      action->setObjectName(QStringLiteral("cmd%1").arg(item.id));
      action->setStatusTip(QLatin1String(item.helpString));
      action->setShortcut(QKeySequence(QLatin1String(item.shortcut), QKeySequence::PortableText));
      action->setEnabled(!NeedsPrinting(item.id) || PrintingAvailable());
      connect(action, &QAction::triggered, this, [this, id = item.id] { command(id); });
      if (item.id == IDM_KEEP_DEVICE) {
        action->setCheckable(true);
        action->setChecked(machine_.keepState.load());
      }
    }
  };
  addMenu("&File", FileMenu);
  buildZoomMenu(bar->addMenu(QStringLiteral("&View")));
  addMenu("&Tools", ToolsMenu);
  addMenu("&Help", HelpMenu);
  layout()->setMenuBar(bar);
}

void MainWindow::buildZoomMenu(QMenu* view) {
  QMenu* zoom = view->addMenu(QStringLiteral("&Zoom"));
  auto* group = new QActionGroup(zoom);
  for (const ZoomItem& item : ZoomItems) {
    if (item.choice == ZOOM_FIT) zoom->addSeparator();
    QAction* action = zoom->addAction(QLatin1String(item.text));
    action->setObjectName(ZoomActionName(item.choice));
    action->setCheckable(true);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, choice = item.choice] { chooseZoom(choice); });
  }
  zoom->addSeparator();
  for (const ZoomStep& step : ZoomSteps) {
    QAction* action = zoom->addAction(QLatin1String(step.text));
    action->setObjectName(QLatin1String(step.name));
    QList<QKeySequence> keys{QKeySequence(QLatin1String(step.shortcut), QKeySequence::PortableText)};
    if (*step.alternative) keys << QKeySequence(QLatin1String(step.alternative), QKeySequence::PortableText);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this,
            [this, direction = step.direction] { direction ? stepZoom(direction) : chooseZoom(100); });
  }
  connect(view, &QMenu::aboutToShow, this, &MainWindow::offerFittingZooms);
}

QWidget* MainWindow::control(int id) const {
  return id < 0 ? nullptr : face_->findChild<QWidget*>(ControlName(id));
}

KeyButton* MainWindow::key(int id) const { return dynamic_cast<KeyButton*>(control(id)); }

QAction* MainWindow::action(int commandId) const {
  return findChild<QAction*>(QStringLiteral("cmd%1").arg(commandId));
}

QString MainWindow::powerCaption() const { return power_->text(); }

void MainWindow::command(int id) {
  switch (id) {
    case IDM_NEW: send(CommandKind::New); return;
    case IDM_PAGE_SETUP:
      if (PrintingAvailable()) RunPageSetup(this, settings_, paperText());
      return;
    case IDM_FONT: chooseFont(); return;
    case IDM_BEEP: SoundDialog(settings_.Sound, this, &sound_).exec(); return;
    case IDM_HEADER_FOOTER:
      if (PrintingAvailable()) RunHeaderFooter(this, settings_);
      return;
    case IDM_HELP_CONTENTS: ShowHelpContents(this); return;
    case IDM_ABOUT: AboutDialog(VersionRecord::Load(), this).exec(); return;
    case IDC_PAPER_FEED: send(CommandKind::PaperFeed); return;
    case IDC_CANCEL:
    case IDM_EXIT: quit(); return;
    case IDC_PAPER_CLEAR: send(CommandKind::ClearPaper); return;
    case IDC_POWER: send(CommandKind::Power); return;
    case IDC_PRINT: printPaper(); return;
    case IDM_PRINT_PREVIEW:
      if (PrintingAvailable()) PreviewPaper(this, paperText(), settings_);
      return;
    case IDM_KEEP_DEVICE: keepDevice(action(IDM_KEEP_DEVICE)->isChecked()); return;
    case IDM_LOG_FILE: showLogFile(); return;
    case IDM_SAVE_PAPER:
      if (PrintingAvailable()) SavePaperAs(this, paperText());
      return;
    default: return;  // the AC keys and anything else: nothing
  }
}

void MainWindow::reject() { quit(); }

void MainWindow::quit() {
  closing_ = true;
  releaseHeldKeys();
  done(1);
}

// Taken up at once by the machine's idle saves, and at exit.
void MainWindow::keepDevice(bool keep) {
  machine_.keepState = keep;
  QSettings().setValue(QLatin1String(KEEP_DEVICE_KEY), keep);
}

void MainWindow::showLogFile() {
  const QString path = QDir::toNativeSeparators(QString::fromStdString(logPath_));
  showMessage(QStringLiteral("Log File"), QString::fromStdString(LogFileNotice(path.toStdString(), logError_)), false);
}

void MainWindow::send(CommandKind kind, uint8_t key) {
  if (closing_) return;
  if ((kind == CommandKind::Power || kind == CommandKind::New) && deviceStopped()) return;
  MachineSend(machine_, Command{kind, key});
}

// A device key is held once: a second press of it (the mouse and a PC key,
// or two PC keys for one device key) sends nothing until it is let go.
void MainWindow::keyChanged(uint8_t key, bool down) {
  if (down) {
    if (!held_.insert(key).second) return;
  } else if (held_.erase(key) == 0) {
    return;  // already let go (focus lost or a menu opened meanwhile)
  }
  send(down ? CommandKind::KeyDown : CommandKind::KeyUp, key);
}

// A key let go while another window or a popup has the mouse or keyboard
// never reports its release here: the device's key would stay held.
void MainWindow::releaseHeldKeys() {
  for (const auto& [physical, button] : heldFromKeyboard_) button->setDown(false);
  heldFromKeyboard_.clear();
  for (uint8_t key : std::set<uint8_t>(held_)) keyChanged(key, false);
}

void MainWindow::chooseFont() {
  if (!PrintingAvailable()) return;
  QFont chosen;
  if (!ChooseFont(this, settings_, chosen)) return;
  paperFont_ = chosen;
  applyZoom(zoomChoice_);
  keepOnScreen();
}

QString MainWindow::paperText() const {
  const std::string& text = paper_->paper();
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void MainWindow::printPaper() {
  if (PrintingAvailable()) PrintPaper(this, paperText(), settings_);
}

void MainWindow::drainEvents() {
  std::vector<Event> events;
  MachineDrain(machine_, events);
  for (const Event& event : events) drawEvent(event);
}

void MainWindow::drawEvent(const Event& event) {
  ApplyEvent(view_, event);
  switch (event.kind) {
    case EventKind::Display: showDigits(); break;
    case EventKind::Lamps: showLamps(); break;
    case EventKind::Beep:
      if (!SoundBeep(sound_, settings_.Sound)) showMessage(QStringLiteral("beep"), QStringLiteral("failed"), false);
      break;
    case EventKind::Paper: paper_->append(event.text.data(), event.text.size()); break;
    case EventKind::PaperCleared: paper_->clearPaper(); break;
    case EventKind::Power: showPower(); break;
    case EventKind::Stopped: showStopped(); break;
    case EventKind::LogFailed:
      logError_ = event.text;
      showMessage(QStringLiteral("TM650E"),
                  QString::fromStdString(event.text) +
                      QStringLiteral("\nThe paper pane keeps every line; File > Save Paper As still works."),
                  false);
      break;
    case EventKind::StateFailed:
      showNotice(QStringLiteral("The device cannot be kept for the next run: ") + QString::fromStdString(event.text));
      break;
  }
}

void MainWindow::showLamps() {
  for (const LampControl& lamp : LampControls) {
    auto* button = dynamic_cast<LampButton*>(control(lamp.controlId));
    if (!button) continue;
    const bool lit = view_.lamps & lamp.mask;
    button->setChecked(lit);
    button->setAccessibleName(LampAccessibleName(QLatin1String(lamp.name), lit));
  }
}

// While the device is off its display shows nothing, whatever it last held.
void MainWindow::showDigits() {
  const DigitState shown = view_.on ? view_.digits : DigitState{{DIGIT_BLANK, DIGIT_BLANK, DIGIT_BLANK, DIGIT_BLANK},
                                                                {false, false, false, false}};
  for (size_t i = 0; i < digits_.size(); ++i) {
    digits_[i]->setDigit(shown.digit[i]);
    points_[i]->setVisible(shown.point[i]);
  }
  display_->showText(view_.on ? DisplayText(shown) : QStringLiteral("off"));
}

// The button names what it does next: "OFF" while the device is on.
void MainWindow::showPower() {
  showDigits();
  power_->setText(QLatin1String(view_.on ? TEXT_OFF : TEXT_ON));
  power_->setAccessibleDescription(PowerAccessibleDescription(view_.on));
}

// The device never runs again; the window stays so the paper can still be
// read, copied and printed, and offers to close.
void MainWindow::showStopped() {
  power_->setEnabled(false);
  if (QAction* fileNew = action(IDM_NEW)) fileNew->setEnabled(false);
  if (view_.stop == StopReason::Undecoded) {
    displayLabel_->setText(QStringLiteral("Device stopped: opcode %1 at %2 is not decoded")
                               .arg(Hex(view_.stopOpcode, 2), Hex(view_.stopAddress, 4)));
    showMessage(QStringLiteral("opcode"), QStringLiteral("not decoded"), false);
  } else {
    displayLabel_->setText(QStringLiteral("Device stopped: the firmware halted"));
  }
  if (showMessage(QStringLiteral("TM650E"),
                  QStringLiteral("The emulated device has stopped and cannot run again.\n"
                                 "The paper can still be read and printed.\n\nClose TM650E now?"),
                  true))
    quit();
}

void MainWindow::showNotice(const QString& text) {
  notice_ = text;
  fitNotice();
}

// The notice fits its line, shortened in the middle where it must (a path
// says most at its ends); the whole text is its tooltip and what a screen
// reader reads.
void MainWindow::fitNotice() {
  if (notice_.isEmpty() || deviceStopped()) return;
  displayLabel_->setText(displayLabel_->fontMetrics().elidedText(notice_, Qt::ElideMiddle, displayLabel_->width()));
  displayLabel_->setToolTip(notice_);
  displayLabel_->setAccessibleName(notice_);
}

bool MainWindow::showMessage(const QString& caption, const QString& text, bool question) {
  return messageBox_ ? messageBox_(caption, text, question) : false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == this && event->type() == QEvent::WindowDeactivate) releaseHeldKeys();
  // A menu, a dialog or a message box takes the mouse and keyboard: the
  // releases would go to it.
  if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()) {
    const auto* shown = static_cast<QWidget*>(watched);
    if (shown->isWindow() && shown->windowType() != Qt::ToolTip) releaseHeldKeys();
  }
  const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
  const bool isOverride = event->type() == QEvent::ShortcutOverride;
  if (!(isKey || isOverride) || closing_) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (isOverride) {
    // F1 over a control with a topic is that topic's key, not Help Contents'.
    const bool topicKey = key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && helpUnderMouse();
    if (topicKey) event->accept();
    return topicKey;
  }
  return handlePcKey(key);
}

namespace {

bool IsModifierKey(int key) {
  switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
      return true;
    default:
      return false;
  }
}

// The key's place on the keyboard, which stays the same whatever Shift or
// the layout make of it; the key code only where the platform gives neither.
uint64_t PhysicalKey(const QKeyEvent& event) {
  if (event.nativeScanCode()) return event.nativeScanCode();
  if (event.nativeVirtualKey()) return (uint64_t{1} << 32) | event.nativeVirtualKey();
  return (uint64_t{2} << 32) | static_cast<uint32_t>(event.key());
}

}  // namespace

// A mapped PC key holds its device key until that same key on the keyboard
// is released, whatever it reads as by then; the keyboard's own repeats are
// swallowed so that holding a key is one press. A modifier pressed or let go
// lets every held key go: what the keys mean has changed under them.
bool MainWindow::handlePcKey(QKeyEvent* event) {
  const bool press = event->type() == QEvent::KeyPress;
  if (IsModifierKey(event->key())) {
    releaseHeldKeys();
    return false;
  }
  if (press && event->key() == Qt::Key_F1) {
    showHelpUnderMouse();
    return true;
  }
  const uint64_t physical = PhysicalKey(*event);
  const auto held = heldFromKeyboard_.find(physical);
  if (!press) {
    if (held == heldFromKeyboard_.end()) return ControlForPcKey(event->key()) != 0;
    if (event->isAutoRepeat()) return true;
    KeyButton* button = held->second;
    heldFromKeyboard_.erase(held);
    button->releaseFromKeyboard();
    return true;
  }
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  if (ControlForPcKey(event->key()) == IDC_PAPER_FEED) {  // a button, not a key of the device
    if (!event->isAutoRepeat()) command(IDC_PAPER_FEED);
    return true;
  }
  KeyButton* button = key(ControlForPcKey(event->key()));
  if (!button) return false;
  if (event->isAutoRepeat() || held != heldFromKeyboard_.end()) return true;
  heldFromKeyboard_.emplace(physical, button);
  button->pressFromKeyboard();
  return true;
}

int MainWindow::controlIdAt(const QPoint& globalPosition) const {
  QWidget* widget = face_->childAt(face_->mapFromGlobal(globalPosition));
  while (widget && widget != face_ && !widget->property(CONTROL_ID).isValid()) widget = widget->parentWidget();
  if (!widget || widget == face_) return 0;
  return widget->property(CONTROL_ID).toInt();
}

bool MainWindow::helpUnderMouse() const { return !HelpTopicHtml(controlIdAt(QCursor::pos())).isEmpty(); }

// Over a numbered control: its topic. Over a label or frame: nothing.
void MainWindow::showHelpUnderMouse() {
  const QPoint position = QCursor::pos();
  if (const int id = controlIdAt(position)) ShowHelpPopup(id, position, this);
}
