// The pictures, help book, icons and version record built into the program.
// They live in a static library, so they are registered explicitly before use.
#pragma once

class QIcon;

void EnsureBuiltinResources();
// The program icon in every size built in, rendered from one drawing.
QIcon ProgramIcon();
