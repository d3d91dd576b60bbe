// Help: the book is one HTML page whose topics are marked by the control ids
// they explain (<div class="topic" data-ids="1014 1015">), so the same text
// serves the contents window and the popups.
#include "frontpanel/help.h"

#include <QFile>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "frontpanel/builtin_resources.h"

namespace {

QHash<int, QString> ReadTopics() {
  EnsureBuiltinResources();
  QHash<int, QString> topics;
  QFile file{QString::fromLatin1(HELP_BOOK)};
  if (!file.open(QIODevice::ReadOnly)) return topics;
  const QString book = QString::fromUtf8(file.readAll());
  static const QRegularExpression topic(
      QStringLiteral("<div class=\"topic\" data-ids=\"([0-9 ]+)\">(.*?)</div>"),
      QRegularExpression::DotMatchesEverythingOption);
  for (auto match = topic.globalMatch(book); match.hasNext();) {
    const QRegularExpressionMatch found = match.next();
    for (const QString& id : found.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
      topics.insert(id.toInt(), found.captured(2).trimmed());
  }
  return topics;
}

const QHash<int, QString>& Topics() {
  static const QHash<int, QString> topics = ReadTopics();
  return topics;
}

}  // namespace

QString HelpTopicHtml(int controlId) { return Topics().value(controlId); }

QWidget* ShowHelpContents(QWidget* owner) {
  EnsureBuiltinResources();
  static QPointer<QTextBrowser> window;
  if (!window) {
    window = new QTextBrowser(owner);
    window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("TM650E Help"));
    window->setOpenExternalLinks(true);
    window->setSource(QUrl(QStringLiteral("qrc") + QLatin1String(HELP_BOOK)));
    window->resize(640, 720);
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

QWidget* ShowHelpPopup(int controlId, const QPoint& globalPosition, QWidget* owner) {
  const QString html = HelpTopicHtml(controlId);
  if (html.isEmpty()) return nullptr;
  auto* popup = new QLabel(owner, Qt::Popup | Qt::FramelessWindowHint);
  popup->setAttribute(Qt::WA_DeleteOnClose);
  popup->setObjectName(QStringLiteral("helpPopup"));
  popup->setFrameStyle(QFrame::Box | QFrame::Plain);
  popup->setContentsMargins(10, 10, 10, 10);
  popup->setWordWrap(true);
  popup->setTextFormat(Qt::RichText);
  popup->setText(html);
  popup->setFixedWidth(360);
  popup->adjustSize();
  popup->move(globalPosition);
  popup->show();
  return popup;
}
