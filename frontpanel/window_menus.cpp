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
#include "resources/zoom_choices.h"

namespace {

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
  for (const ZoomStep& step : ZoomSteps) {
    QAction* action = zoomMenu->addAction(QLatin1String(step.text));
    action->setObjectName(QLatin1String(step.name));
    QList<QKeySequence> keys{QKeySequence(QLatin1String(step.shortcut), QKeySequence::PortableText)};
    if (*step.alternative) keys << QKeySequence(QLatin1String(step.alternative), QKeySequence::PortableText);
    action->setShortcuts(keys);
    QObject::connect(action, &QAction::triggered, &zoom,
                     [&zoom, direction = step.direction] { direction ? zoom.step(direction) : zoom.choose(100); });
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
