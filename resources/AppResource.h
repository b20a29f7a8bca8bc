#pragma once
// Resource ids of the application shell.

// The built-in English language file, resource type "OWNER_DATA".
#define IDR_DEFAULT_LANGUAGE 424

// The main window's template; until the main window lands, a plain stand-in.
#define IDD_TAMSEL_DIALOG 102
#define IDC_STANDIN_CLOSE 1000
