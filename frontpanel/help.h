// The help book that ships inside the program: the whole book in a help
// window, and a popup with the topic of one control, found by its id.
#pragma once

#include <QPoint>
#include <QString>

class QWidget;

constexpr const char* HELP_BOOK = ":/help/tm650e.html";

// The HTML of the topic for a control id; empty when the book has none.
QString HelpTopicHtml(int controlId);

// Help > Help Contents: the book in a help window owned by `owner`.
QWidget* ShowHelpContents(QWidget* owner);

// The topic of a control as a popup at `globalPosition`, with 10-pixel
// margins; nullptr (and nothing shown) for a control without a topic.
QWidget* ShowHelpPopup(int controlId, const QPoint& globalPosition, QWidget* owner);
