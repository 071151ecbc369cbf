#pragma once

// The functions the host logger calls, with its exact argument lists. Every
// position is declared, read or not, so that the stack layout matches the
// host's cdecl calls. Numbers in the comments are argument positions.

#include "engine/ole_date_time.h"

#if defined(_WIN32)
#define VELMORA_EXPORT
#else
#define VELMORA_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// 1 own call, 2 worked call, 3 QSO time, 8 frequency in Hz, 9 mode,
// 10 report sent, 11 report received, 12 serial sent, 13 serial received,
// 23 worked DXCC prefix, 30 worked continent, 32 band name.
VELMORA_EXPORT int AddData0(
    const char* own_call, const char* call, COleDateTime* time, COleDateTime* t4,
    COleDateTime* t5, COleDateTime* t6, unsigned int u7, unsigned int freq_hz,
    const char* mode, const char* rst_sent, const char* rst_rcvd,
    const char* nr_sent, const char* nr_rcvd, const char* s14, const char* s15,
    const char* s16, const char* s17, const char* s18, const char* s19,
    const char* s20, const char* s21, const char* s22, const char* prefix,
    int i24, int i25, int i26, double d27, double d28, const char* s29,
    const char* continent, const char* s31, const char* band, const char* s33);

// Same arguments as AddData0; reads 2, 3, 9 and 32.
VELMORA_EXPORT int RemoveData0(
    const char* own_call, const char* call, COleDateTime* time, COleDateTime* t4,
    COleDateTime* t5, COleDateTime* t6, unsigned int u7, unsigned int freq_hz,
    const char* mode, const char* rst_sent, const char* rst_rcvd,
    const char* nr_sent, const char* nr_rcvd, const char* s14, const char* s15,
    const char* s16, const char* s17, const char* s18, const char* s19,
    const char* s20, const char* s21, const char* s22, const char* prefix,
    int i24, int i25, int i26, double d27, double d28, const char* s29,
    const char* continent, const char* s31, const char* band, const char* s33);

// 1 host folder, 2 export flag, 3 own call, 4 contest start, 5 contest end,
// 15 own DXCC prefix, 22 own continent.
VELMORA_EXPORT int ResetStats0(
    const char* host_folder, int export_flag, const char* own_call,
    COleDateTime* start, COleDateTime* end, const char* s6, const char* s7,
    const char* s8, const char* s9, const char* s10, const char* s11,
    const char* s12, const char* s13, const char* s14, const char* own_prefix,
    int i16, int i17, int i18, double d19, double d20, const char* s21,
    const char* own_continent, const char* s23);

// 1 call being typed, 4 mode, 14 its DXCC prefix, 25 band, 26 second band,
// 27 output buffer of 10 characters for the serial received earlier.
VELMORA_EXPORT int CheckCall0(
    const char* call, unsigned int u2, unsigned int u3, const char* mode,
    const char* s5, const char* s6, const char* s7, const char* s8,
    const char* s9, const char* s10, const char* s11, const char* s12,
    const char* s13, const char* prefix, int i15, int i16, int i17, double d18,
    double d19, const char* s20, const char* s21, const char* s22,
    const char* s23, const char* s24, const char* band, const char* band2,
    char* serial_out, char* out28);

VELMORA_EXPORT int IsValidExchg0(const char* exchange, const char* s2,
                                 const char* s3, const char* s4, int i5, int i6,
                                 int i7);

VELMORA_EXPORT int GetExchgCount0(const char* s1, const char* s2,
                                  const char* s3);

VELMORA_EXPORT int GetNumberOfSets();

VELMORA_EXPORT const char* GetSetName(int index);

VELMORA_EXPORT const char* GetResult0(int* score);

VELMORA_EXPORT void SetupSet0();

VELMORA_EXPORT unsigned long setVersion(const char* version);

}  // extern "C"
