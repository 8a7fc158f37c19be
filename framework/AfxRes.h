// Identifiers of the framework's own commands and strings. Plain #defines
// only: the resource compiler reads this file too.
#pragma once

// The application's title, used as the caption of AfxMessageBox.
#define AFX_IDS_APP_TITLE 0xE000

// The standard help command.
#define ID_HELP 0xE146
