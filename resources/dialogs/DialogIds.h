// Dialog templates and control ids of both programs. The resource scripts
// (DM2CDX.rc, CDX2DM.rc) and the dialog code include this one file, so the
// two can never disagree. Plain #defines: resource compilers know no other.
#pragma once

// DM2CDX: the export settings dialog.
#define IDD_CDXSAVESETTINGDIALOG 131
#define IDC_BUTTON_RESTORE       1000
#define IDC_BUTTON_BROWSE        1001
#define IDC_RADIO_OPENINGS       1008
#define IDC_RADIO_FITTINGS       1009
#define IDC_EDIT_CSVPATH         1010
#define IDC_CHECK_ORIGIN         1011

// CDX2DM: the import settings dialog.
#define IDD_CDXLOADSETTING       130
#define IDC_OPENING_FRAMES       1003  // first of the opening group
#define IDC_OPENING_NONE         1004
#define IDC_OPENING_TABLE        1005
#define IDC_ROOF_MANUAL          1006  // first of the roof group
#define IDC_ROOF_NONE            1007
#define IDC_BROWSE_TABLE         1009
#define IDC_TABLE_PATH           1010
#define IDC_ORIGIN_LOWER_LEFT    1011
#define IDC_RESTORE_DEFAULTS     1013
#define IDC_ORIGIN_CENTRE        1014  // created hidden
