// Resource identifiers of the windows, shared by ui.rc and the code that loads them.
#pragma once

// The common controls version 6 manifest (ISOLATIONAWARE_MANIFEST_RESOURCE_ID).
#define IDR_UI_MANIFEST 2

// The six toolbar images, in the order the toolbars number them.
#define IDI_TB_FOLDER_ADD 201
#define IDI_TB_DELETE 202
#define IDI_TB_SAVE 203
#define IDI_TB_REFRESH 204
#define IDI_TB_FOLDER_CHECK 205
#define IDI_TB_PAGE_CHECK 206
// The image of every folder tree node.
#define IDI_TREE_FOLDER 210
