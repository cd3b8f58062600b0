// The texts that name the system and its author: the settings dialog's
// credit line, the home page its link label shows and opens, and the
// version information both programs carry (version.rc). Plain #defines,
// because windres reads this file too.
#pragma once

#define NUMERABO_PRODUCT_NAME "ぬめらぼ"
#define NUMERABO_VERSION_TEXT "1.0.0"
#define NUMERABO_VERSION_NUMBERS 1, 0, 0, 0
#define NUMERABO_AUTHOR_NAME "Numerabo Project"
#define NUMERABO_CREDIT_LINE "Designed by " NUMERABO_AUTHOR_NAME " Ver." NUMERABO_VERSION_TEXT
#define NUMERABO_HOME_PAGE "https://numerabo.example/"
