// Help: the book's contents page marks its topics by the control ids they
// explain (<div class="topic" data-ids="1014 1015">), so the same text serves
// the contents window and the popups; the manual's pages lie beside it in the
// same resource folder and are reached by relative links.
#include "frontpanel/help.h"

#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "dialogs/center_over_owner.h"
#include "frontpanel/builtin_resources.h"
#include "resources/help_topics.h"

namespace {

QHash<int, QString> ReadTopics() {
  EnsureBuiltinResources();
  QHash<int, QString> topics;
  QFile file{QString::fromLatin1(HELP_BOOK)};
  if (!file.open(QIODevice::ReadOnly)) return topics;
  const QByteArray book = file.readAll();
  for (const auto& [id, topic] : HelpTopics(std::string_view(book.constData(), book.size())))
    topics.insert(id, QString::fromStdString(topic).trimmed());
  return topics;
}

const QHash<int, QString>& Topics() {
  static const QHash<int, QString> topics = ReadTopics();
  return topics;
}

// The help window: Contents, Back and Forward over a browser that opens the
// book's pages in place and anything outside the book in the system browser.
QWidget* NewHelpWindow(QWidget* owner) {
  auto* window = new QWidget(owner, Qt::Window);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setObjectName(QStringLiteral("helpWindow"));
  window->setWindowTitle(QStringLiteral("TM650E Help"));
  auto* browser = new QTextBrowser(window);
  browser->setObjectName(QStringLiteral("helpBrowser"));
  browser->setOpenExternalLinks(true);
  browser->setSearchPaths({QString::fromLatin1(HELP_FOLDER)});
  // Keys stand out, and the printouts read as the paper strip.
  browser->document()->setDefaultStyleSheet(QStringLiteral(
      "kbd { font-weight: bold; } th { text-align: left; } th, td { padding: 1px 6px; }"
      " pre.paper { background-color: #f3f0e6; }"));
  browser->setSource(QUrl(QStringLiteral("qrc") + QLatin1String(HELP_BOOK)));

  auto* buttons = new QHBoxLayout;
  auto addButton = [&](const char* text, void (QTextBrowser::*go)()) {
    auto* button = new QPushButton(QLatin1String(text), window);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, browser, go);
    buttons->addWidget(button);
    return button;
  };
  addButton("Contents", &QTextBrowser::home);
  QPushButton* back = addButton("Back", &QTextBrowser::backward);
  QPushButton* forward = addButton("Forward", &QTextBrowser::forward);
  back->setEnabled(false);
  forward->setEnabled(false);
  QObject::connect(browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  QObject::connect(browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(buttons);
  layout->addWidget(browser);
  window->resize(680, 760);  // as tall as the book wants
  CenterOverOwner(window, owner);  // and no larger than the owner's screen
  return window;
}


// A topic shown as a tooltip is: it takes neither the keyboard nor the
// mouse, so the window underneath keeps working, and it goes at the first
// key, at a click anywhere (a click on its link first opens the link), and
// when the application loses the keyboard. Esc and F1 only close it.
class HelpPopup : public QLabel {
 public:
  HelpPopup(const QString& html, QWidget* owner) : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("helpPopup"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setContentsMargins(10, 10, 10, 10);
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setText(html);
    setAutoFillBackground(true);
    qApp->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!isVisible()) return false;  // closed, and gone at the next turn of the loop
    switch (event->type()) {
      case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        close();
        return key == Qt::Key_Escape || key == Qt::Key_F1;
      }
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        if (watched != this) close();
        return false;
      case QEvent::MouseButtonRelease:
        // Its own click: the label follows a link under it, then it goes.
        if (watched == this) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return false;
      case QEvent::ApplicationDeactivate:
      case QEvent::WindowDeactivate:
        close();
        return false;
      default:
        return false;
    }
  }
};

}  // namespace

QString HelpTopicHtml(int controlId) { return Topics().value(controlId); }

QWidget* ShowHelpContents(QWidget* owner, const QString& page) {
  EnsureBuiltinResources();
  static QPointer<QWidget> window;
  if (!window) window = NewHelpWindow(owner);
  if (!window->isVisible()) {
    CenterOverOwner(window, owner);  // the owner may be on another screen by now
    KeepFrameOnScreen(window);
  }
  if (!page.isEmpty()) {
    auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    browser->setSource(QUrl(QStringLiteral("qrc") + QLatin1String(HELP_BOOK)).resolved(QUrl(page)));
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

QWidget* ShowHelpPopup(int controlId, const QPoint& globalPosition, QWidget* owner) {
  const QString html = HelpTopicHtml(controlId);
  if (html.isEmpty()) return nullptr;
  auto* popup = new HelpPopup(html, owner);
  QObject::connect(popup, &QLabel::linkActivated, popup, [popup, owner](const QString& link) {
    popup->close();
    ShowHelpContents(owner, link);
  });
  popup->setFixedWidth(360);
  popup->adjustSize();
  // At the mouse, pulled back onto the screen the mouse is on.
  const QScreen* screen = QGuiApplication::screenAt(globalPosition);
  const QRect at(globalPosition, popup->size());
  popup->move(screen ? PlaceOverOwner(at.size(), false, at, screen->availableGeometry()).topLeft() : globalPosition);
  popup->show();
  return popup;
}
