// The pictures, help book and version record built into the program. They
// live in a static library, so they are registered explicitly before use.
#pragma once

void EnsureBuiltinResources();
