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

// The Cabrillo header form (101): its fields and the labels that carry an id.
#define IDC_CAB_OFFTIME 1000
#define IDC_CAB_SOAPBOX 1001
#define IDC_CAB_ADDRESS 1002
#define IDC_CAB_EMAIL 1004
#define IDC_CAB_CLUB 1005
#define IDC_CAB_OPERATORS 1006
#define IDC_CAB_NAME 1007
#define IDC_CAB_CLAIMED 1008
#define IDC_CAB_CONTEST 1009
#define IDC_CAB_CALLSIGN 1010
#define IDC_CAB_CATEGORY_OPERATOR 1013
#define IDC_CAB_CATEGORY_OVERLAY 1014
#define IDC_CAB_CATEGORY_POWER 1015
#define IDC_CAB_CATEGORY_BAND 1017
#define IDC_CAB_CATEGORY_TIME 1021
#define IDC_CAB_CATEGORY_TRANSMITTER 1022
#define IDC_CAB_ADDRESS_CITY 1024
#define IDC_CAB_ADDRESS_POSTALCODE 1026
#define IDC_CAB_ADDRESS_COUNTRY 1028
#define IDC_CAB_CATEGORY_STATION 932
#define IDC_CAB_LABEL_STATION 933
#define IDC_CAB_LABEL_BAND 1016
#define IDC_CAB_LABEL_OFFTIME 1018
#define IDC_CAB_LABEL_TRANSMITTER 1029
#define IDC_CAB_LABEL_OVERLAY 1030
#define IDC_CAB_LABEL_POWER 1277

// The setup window (106).
#define IDC_SETUP_VIEW_LABEL 1277
#define IDC_SETUP_DXCC 931
#define IDC_SETUP_EXTENDED 1059
#define IDC_SETUP_ON_TOP 1060

// The DXCC info window (104): its owner-drawn info button.
#define IDC_INFO_BUTTON 1003

// The multiplier window (117): the tab control over the six continent pages,
// whose check boxes take their ids from the DXCC table.
#define IDC_MULTIPLIER_TABS 1073
