#pragma once

#include "HTMLHelp_Decl.h"

// The program's own help viewer, which the help loader binds: help windows
// that show the pages of compiled HTML help files. Available wherever the
// program has a widget application.
HelpLibrary &programHelpLibrary();
