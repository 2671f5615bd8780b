// Resource identifiers of Sortwise.dll besides the windows' own (ui/resource_ids.h).
#pragma once

// The add-in's name in Outlook's list of add-ins.
#define IDS_FRIENDLY_NAME 100
