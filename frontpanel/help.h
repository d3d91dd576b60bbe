// The help book that ships inside the program: its contents page and the
// manual's pages in a help window, and a popup with the topic of one control,
// found by its id.
#pragma once

#include <QPoint>
#include <QString>

class QWidget;

constexpr const char* HELP_FOLDER = ":/help";
constexpr const char* HELP_BOOK = ":/help/tm650e.html";

// The HTML of the topic for a control id; empty when the book has none.
QString HelpTopicHtml(int controlId);

// Help > Help Contents: the book in a help window owned by `owner`, at its
// contents page, or at `page` (a link relative to the book, "slanting.html").
// The window's browser follows the links between the pages.
QWidget* ShowHelpContents(QWidget* owner, const QString& page = QString());

// The topic of a control as a popup at `globalPosition`, with 10-pixel
// margins; nullptr (and nothing shown) for a control without a topic. A link
// in the topic opens its page in the help window.
QWidget* ShowHelpPopup(int controlId, const QPoint& globalPosition, QWidget* owner);
