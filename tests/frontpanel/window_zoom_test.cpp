// The window at every zoom: the choice is kept, the chart is drawn sharp at the zoomed size and pixel density, the
// paper pane shows whole lines in any font, and at first start the window
// fits its screen (ctest runs that case on several screens and scales).
#include <QAction>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <gtest/gtest.h>

#include <memory>

#include "app/settings.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "dialogs/center_over_owner.h"
#include "emulator/machine.h"
#include "frontpanel/face_images.h"
#include "frontpanel/face_layout.h"
#include "frontpanel/main_window.h"
#include "frontpanel/paper_pane.h"
#include "frontpanel/window_place.h"
#include "frontpanel/zoom_choice.h"
#include "resources/ids.h"
#include "tests/frontpanel/test_support.h"

namespace {

// A window over a machine that is set up but never run: enough for layout.
struct Window {
  explicit Window(const Settings& chosen = {}) : settings(chosen) {
    MachineInit(machine, {BuiltinFirmware()});
    window = std::make_unique<MainWindow>(machine, settings, images, sound);
  }
  Settings settings;
  Machine machine;
  FakeSound sound;
  FaceImages images = LoadFaceImages(QString());
  std::unique_ptr<MainWindow> window;
};

void ForgetZoom() {
  QSettings store{QString::fromLatin1(SETTINGS_ORGANISATION), QString::fromLatin1(SETTINGS_APPLICATION)};
  store.remove(QLatin1String(ZOOM_KEY));
}

struct Ink {
  double darkness;  // the mean darkness, 0 for white, 1 for black
  double blur;      // the share of the drawn pixels that are neither near black nor near white
};

// A sharp edge has few grey pixels, a blurred one many.
Ink Measure(const QImage& image) {
  int ink = 0, grey = 0;
  double darkness = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const int level = qGray(image.pixel(x, y));
      darkness += (255 - level) / 255.0;
      if (level > 235) continue;
      ++ink;
      if (level > 60) ++grey;
    }
  return {darkness / (image.width() * image.height()), ink ? double(grey) / ink : 1};
}

QImage Rendered(QWidget* widget, qreal pixelRatio) {
  QImage image(widget->size() * pixelRatio, QImage::Format_RGB32);
  image.setDevicePixelRatio(pixelRatio);
  widget->render(&image);
  return image;
}

// The two screens of the case's own run: a large primary one and a small
// one; none where the run has one screen.
std::pair<QScreen*, QScreen*> LargeAndSmallScreens() {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.size() < 2) return {nullptr, nullptr};
  return {screens[0], screens[1]};
}

// The chart drawn at twice the size, by the zoom or by the pixel density,
// against the 100 % picture blown up: as much ink (so every part grew with
// it), and sharper edges.
TEST(WindowZoom, TheChartIsDrawnSharpAtTheZoomedSizeAndPixelDensityAndTheChoiceIsKept) {
  if (!LargeAndSmallScreens().first) GTEST_SKIP() << "200 % needs the large screen";
  ForgetZoom();
  Window shown;
  shown.window->chooseZoom(100);
  QWidget* chart = shown.window->control(IDC_FACE);
  const QImage at100 = Rendered(chart, 1);
  const QImage blownUp = at100.scaled(at100.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  const QImage doubleDensity = Rendered(chart, 2);
  shown.window->chooseZoom(200);
  const QImage at200 = Rendered(chart, 1);
  const Ink blurred = Measure(blownUp);
  for (const QImage& sharp : {at200, doubleDensity}) {
    const Ink ink = Measure(sharp);
    EXPECT_LT(ink.blur, 0.6 * blurred.blur);
    EXPECT_NEAR(ink.darkness, blurred.darkness, 0.3 * blurred.darkness);
  }
  Window reopened;
  EXPECT_EQ(reopened.window->zoomChoice(), 200) << "the choice is kept";
}

// Sixteen of the widest characters fit without a horizontal scroll bar, and
// the pane grows the face rather than covering its neighbours.
TEST(WindowZoom, ThePaperPaneShowsSixteenColumnsInAnyFontAndZoom) {
  if (!LargeAndSmallScreens().first) GTEST_SKIP() << "200 % needs the large screen";
  ForgetZoom();
  struct Case {
    int height, weight, zoom;
  };
  for (const Case& c : {Case{-11, 400, 100}, Case{-16, 700, 100}, Case{-16, 700, 200}, Case{-24, 900, 125}}) {
    Settings settings;
    settings.Font = "DejaVu Sans Mono";
    settings.Height = c.height;
    settings.Weight = c.weight;
    Window shown(settings);
    shown.window->chooseZoom(c.zoom);
    shown.window->show();
    PaperPane* paper = shown.window->paper();
    const std::string line = std::string(PAPER_COLUMNS, 'W') + "\r\n";
    paper->append(line.data(), line.size());
    EXPECT_EQ(paper->horizontalScrollBar()->maximum(), 0) << c.height << "/" << c.weight << " at " << c.zoom;
    for (int id : {IDC_PAPER_CLEAR, IDC_PRINT, IDC_POWER, IDC_ARC, IDC_FACE}) {
      const QRect other = shown.window->control(id)->geometry();
      EXPECT_FALSE(paper->geometry().intersects(other)) << id << " at " << c.zoom;
      EXPECT_LE(other.right(), paper->parentWidget()->width()) << id << " at " << c.zoom;
    }
  }
}

// A window left on the smaller of two screens opens there, wholly within
// it, fitted to it when its kept zoom is too large, which is then not
// offered; the zoom keys step between the choices that fit.
TEST(WindowZoom, OpensFittedOnTheScreenItWasLeftOnAndOffersOnlyZoomsThatFit) {
  QScreen* small = LargeAndSmallScreens().second;
  if (!small) GTEST_SKIP() << "needs two screens";
  SaveZoomChoice(200);
  QWidget marker;
  marker.move(small->geometry().topLeft() + QPoint(30, 40));
  KeepWindowPlace(&marker);
  Window shown;
  MainWindow& window = *shown.window;
  window.openAt(KeptWindowPlace());
  EXPECT_EQ(window.screen(), small);
  EXPECT_EQ(window.zoomChoice(), ZOOM_FIT);
  EXPECT_TRUE(small->availableGeometry().contains(QRect(window.pos(), window.size() + WINDOW_FRAME_ROOM)));
  EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("zoom200"))->isEnabled());
  window.chooseZoom(200);
  EXPECT_EQ(window.zoomChoice(), ZOOM_FIT);
  std::vector<int> stepped;
  for (const char* key : {"zoomReset", "zoomIn", "zoomIn", "zoomIn", "zoomOut"}) {
    window.findChild<QAction*>(QLatin1String(key))->trigger();
    stepped.push_back(window.zoomChoice());
  }
  EXPECT_EQ(stepped, (std::vector<int>{100, 125, 150, 150, 125})) << "200 % does not fit 1366 x 768";
}

// At first start the whole window, with room for a frame and title bar,
// fits the screen: at 100 % on a 1366 x 768 screen at scale 1 or 1.5, else
// fitted to the screen and filling most of it.
TEST(WindowFit, AtFirstStartTheWholeWindowFitsTheScreen) {
  ForgetZoom();
  Window first;
  MainWindow& window = *first.window;
  const QSize room = window.screen()->availableGeometry().size();
  const QSize framed = window.size() + WINDOW_FRAME_ROOM;
  EXPECT_LE(framed.width(), room.width());
  EXPECT_LE(framed.height(), room.height());
  const bool atLeast1366x768At150 = room.width() >= 1366 / 1.5 && room.height() >= 768 / 1.5;
  if (atLeast1366x768At150) {
    EXPECT_EQ(window.zoomChoice(), 100) << room.width() << "x" << room.height();
  } else {
    EXPECT_EQ(window.zoomChoice(), ZOOM_FIT) << room.width() << "x" << room.height();
    EXPECT_GT(std::max(double(framed.width()) / room.width(), double(framed.height()) / room.height()), 0.9);
  }
}

}  // namespace
