#pragma once
// Resource ids of the application shell.

// The built-in English language file, resource type "OWNER_DATA".
#define IDR_DEFAULT_LANGUAGE 424
