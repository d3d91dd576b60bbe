// The header and footer expansion for the web page's print style, as a small
// WebAssembly module of its own: the page asks for it while the browser is
// about to print, when the machine's Worker cannot answer in time.
#include <emscripten/emscripten.h>

#include "print/header_footer.h"

extern "C" {

// `templateText` expanded for the clock reading `date` and `time`, with
// `page` where the page number goes. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* tm_expand_header_footer(const char* templateText, const char* page, const char* date,
                                                         const char* time) {
  static char line[HEADER_FOOTER_BUFFER];
  ExpandHeaderFooter(line, sizeof line, templateText, page, ClockReading{date, time});
  return line;
}

}  // extern "C"
