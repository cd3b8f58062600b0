// The texts that name the system's author: the settings dialog's credit line
// and the home page its link label shows and opens.
#pragma once

#define NUMERABO_AUTHOR_NAME "Numerabo Project"
#define NUMERABO_CREDIT_LINE "Designed by " NUMERABO_AUTHOR_NAME " Ver.1.0.0"
#define NUMERABO_HOME_PAGE "https://numerabo.example/"
