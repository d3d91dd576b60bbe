// qprint: the page-layout engine the paper is printed with. It owns the
// printer context, a table of fonts, the current line position, the page
// counter, the margins and the header, footer and document-name texts; it
// wraps long texts and starts new pages itself, calling its page handler at
// every page start and end. One job at a time; the state is module-wide.
// Status results are 0 for success and -1 for failure. Plain C++: the layout
// builds and is tested without Qt.
#pragma once

#include <memory>
#include <string_view>

#include "print/print_surface.h"

class QWidget;

constexpr int QPRINT_CENTRE = 1;     // centred between the left and right margins
constexpr int QPRINT_LEFT = 2;       // at the left margin (the default)
constexpr int QPRINT_RIGHT = 4;      // ending at the right margin
constexpr int QPRINT_SAME_LINE = 8;  // the next text prints on the same line
constexpr int QPRINT_FONT_SLOTS = 10;
constexpr int QPRINT_FONT_VARIANTS = 4;  // regular, bold, small regular, small bold
constexpr size_t QPRINT_TEXT_MAX = 255;  // characters of the document name, header and footer
// Margins are kept within 0..QPRINT_MARGIN_MAX and font sizes within
// 1..QPRINT_POINTS_MAX, so no stored value can overflow the layout.
constexpr int QPRINT_MARGIN_MAX = 1 << 20;
constexpr int QPRINT_POINTS_MAX = 1000;
constexpr int QPRINT_WEIGHT_REGULAR = 400;
constexpr int QPRINT_WEIGHT_BOLD = 700;

// Called with is header = 1 when a page starts and 0 when it ends.
using qprintPageHandler = void (*)(int pageNumber, int isHeader);

// Shows the print dialog over `owner`; keeps the chosen printer as the
// printer context. -1 when the dialog was cancelled or failed.
int qprintOpenPrinter(QWidget* owner);
// Makes `surface` the printer context without a dialog (preview, tests).
void qprintAttachSurface(std::unique_ptr<PrintSurface> surface);

void qprintBegin();
void qprintSetDocName(std::string_view text);
int qprintStartDoc();
// The slot's regular variants have `weight`, its bold ones at least bold.
int qprintCreateFont(std::string_view face, int points, int smallPoints, int weight = QPRINT_WEIGHT_REGULAR);
// -1 leaves a margin as it is; other values are kept within 0..QPRINT_MARGIN_MAX.
int qprintSetMargins(int top, int bottom, int left, int right);
void qprintSetLineSpacing(int points);
void qprintSelectFont(int slot);
void qprintSetPageHandler(qprintPageHandler handler);
void qprintSetHeader(std::string_view text);
void qprintSetFooter(std::string_view text);
int qprintHasHeader();
int qprintHasFooter();
const char* qprintGetHeader();  // nullptr when empty
const char* qprintGetFooter();  // nullptr when empty
void qprintGetPageSize(int* width, int* height);
// The margins as set, in points.
void qprintGetMargins(int* left, int* top, int* right, int* bottom);
// A vertical length in points as device units of the page.
int qprintPointsToDevice(int points);
void qprintSetY(int y);
int qprintGetY();
int qprintPageNumber();
int qprintCurrentFont();
int qprintStartPage();
void qprintText(int slot, std::string_view text, int flags, int xOffset);
void qprintBlankLines(int slot, int count);
void qprintEndPage();
void qprintEndDoc();
// Gives the font cells back and releases the fonts and the printer context.
void qprintEnd();

// (value * numerator) / denominator rounded to the nearest whole number and
// held within the range of int; -1 when the denominator is 0.
int qprintMulDiv(int value, int numerator, int denominator);
