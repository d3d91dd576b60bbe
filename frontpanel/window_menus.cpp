// Building the menu bar and connecting its actions.
#include "frontpanel/window_menus.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <array>
#include <span>

#include "frontpanel/window_printing.h"
#include "frontpanel/zoom_controller.h"
#include "print/print_commands.h"
#include "resources/menu_table.h"

namespace {

struct ZoomItem {
  int choice;
  const char* text;
};

constexpr std::array<ZoomItem, 5> ZoomItems{{
    {100, "&100 %"}, {125, "12&5 %"}, {150, "15&0 %"}, {200, "&200 %"}, {ZOOM_FIT, "&Fit to Screen"},
}};

void AddMenu(QMenuBar* bar, const char* title, std::span<const MenuItem> items,
             const std::function<void(int)>& command) {
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
    action->setCheckable(item.id == IDM_KEEP_DEVICE);
    QObject::connect(action, &QAction::triggered, bar, [command, id = item.id] { command(id); });
  }
}

void AddZoomChoices(QMenu* zoomMenu, ZoomController& zoom) {
  auto* group = new QActionGroup(zoomMenu);
  for (const ZoomItem& item : ZoomItems) {
    if (item.choice == ZOOM_FIT) zoomMenu->addSeparator();
    QAction* action = zoomMenu->addAction(QLatin1String(item.text));
    action->setObjectName(ZoomActionName(item.choice));
    action->setCheckable(true);
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, &zoom, [&zoom, choice = item.choice] { zoom.choose(choice); });
  }
}

void AddZoomSteps(QMenu* zoomMenu, ZoomController& zoom) {
  const struct {
    const char* name;
    const char* text;
    QList<QKeySequence> keys;
    std::function<void()> go;
  } steps[] = {
      {"zoomIn", "Zoom &In", {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)}, [&zoom] { zoom.step(1); }},
      {"zoomOut", "Zoom &Out", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [&zoom] { zoom.step(-1); }},
      {"zoomReset", "&Actual Size", {QKeySequence(Qt::CTRL | Qt::Key_0)}, [&zoom] { zoom.choose(100); }},
  };
  for (const auto& step : steps) {
    QAction* action = zoomMenu->addAction(QLatin1String(step.text));
    action->setObjectName(QLatin1String(step.name));
    action->setShortcuts(step.keys);
    QObject::connect(action, &QAction::triggered, &zoom, step.go);
  }
}

void AddViewMenu(QMenuBar* bar, ZoomController& zoom) {
  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  QMenu* zoomMenu = view->addMenu(QStringLiteral("&Zoom"));
  AddZoomChoices(zoomMenu, zoom);
  zoomMenu->addSeparator();
  AddZoomSteps(zoomMenu, zoom);
  QObject::connect(view, &QMenu::aboutToShow, &zoom, [&zoom] { zoom.offerFittingZooms(); });
}

}  // namespace

QMenuBar* BuildMenuBar(QWidget* window, const std::function<void(int id)>& command, ZoomController& zoom) {
  auto* bar = new QMenuBar(window);
  AddMenu(bar, "&File", FileMenu, command);
  AddViewMenu(bar, zoom);
  AddMenu(bar, "&Tools", ToolsMenu, command);
  AddMenu(bar, "&Help", HelpMenu, command);
  return bar;
}
