// Printing commands on the pane's paper, where printing is built in.
#include "frontpanel/window_printing.h"

#include <QString>

#include "frontpanel/paper_pane.h"
#include "print/print_commands.h"
#include "resources/ids.h"

namespace {

QString PaperText(const PaperPane& paper) {
  const std::string& text = paper.paper();
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool NeedsPrinting(int id) {
  return id == IDM_PAGE_SETUP || id == IDC_PRINT || id == IDM_FONT || id == IDM_HEADER_FOOTER ||
         id == IDM_PRINT_PREVIEW || id == IDM_SAVE_PAPER;
}

bool RunPrintCommand(int id, QWidget* owner, Settings& settings, const PaperPane& paper) {
  if (id == IDM_FONT || !NeedsPrinting(id)) return false;
  if (!PrintingAvailable()) return true;
  switch (id) {
    case IDM_PAGE_SETUP: RunPageSetup(owner, settings, PaperText(paper)); break;
    case IDM_HEADER_FOOTER: RunHeaderFooter(owner, settings); break;
    case IDC_PRINT: PrintPaper(owner, PaperText(paper), settings); break;
    case IDM_PRINT_PREVIEW: PreviewPaper(owner, PaperText(paper), settings); break;
    case IDM_SAVE_PAPER: SavePaperAs(owner, PaperText(paper)); break;
  }
  return true;
}
