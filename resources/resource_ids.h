#pragma once

// Resource and control ids shared by the resource scripts and the C++ code.

// Dialog templates and the icon.
#define IDD_CABRILLO 101
#define IDD_DXCC_INFO 104
#define IDI_VELMORA 105
#define IDD_SETUP 106
#define IDD_MULTIPLIER 117
#define IDD_PAGE_EU 118
#define IDD_PAGE_AF 119
#define IDD_PAGE_AS 120
#define IDD_PAGE_NA 121
#define IDD_PAGE_OC 122
#define IDD_PAGE_SA 123
