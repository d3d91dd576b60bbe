// The window's printing commands: File > Page Setup, Print, Print Preview
// and Save Paper As, Tools > Header and Footer, and the Print button, each
// on the paper as the pane holds it.
#pragma once

class PaperPane;
class QWidget;
struct Settings;

// The commands (Tools > Font too) that need a printing system; without one
// they are greyed.
bool NeedsPrinting(int id);
// Carries out printing command `id` over `owner`; false for any other id.
bool RunPrintCommand(int id, QWidget* owner, Settings& settings, const PaperPane& paper);
