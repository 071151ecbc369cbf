#pragma once

// The entry points as the host logger declares them: C++ free functions at
// global scope (cdecl), whose MSVC-decorated names the DLL exports beside the
// plain ones (velmora.def). The parameter lists are those of plugin/exports.h;
// decorated_prototypes_check.cpp proves it at compile time, and the exports
// check derives the decorated names from this file with clang.
//
// No includes: clang compiles this file alone for the MSVC target.
// `class COleDateTime` names the type in scope where this file is included, or
// declares it at global scope when there is none.

int AddData0(
    const char* own_call, const char* call, class COleDateTime* time,
    class COleDateTime* t4, class COleDateTime* t5, class COleDateTime* t6,
    unsigned int u7, unsigned int freq_hz, const char* mode, const char* rst_sent,
    const char* rst_rcvd, const char* nr_sent, const char* nr_rcvd, const char* s14,
    const char* s15, const char* s16, const char* s17, const char* s18,
    const char* s19, const char* s20, const char* s21, const char* s22,
    const char* prefix, int i24, int i25, int i26, double d27, double d28,
    const char* s29, const char* continent, const char* s31, const char* band,
    const char* s33);

int RemoveData0(
    const char* own_call, const char* call, class COleDateTime* time,
    class COleDateTime* t4, class COleDateTime* t5, class COleDateTime* t6,
    unsigned int u7, unsigned int freq_hz, const char* mode, const char* rst_sent,
    const char* rst_rcvd, const char* nr_sent, const char* nr_rcvd, const char* s14,
    const char* s15, const char* s16, const char* s17, const char* s18,
    const char* s19, const char* s20, const char* s21, const char* s22,
    const char* prefix, int i24, int i25, int i26, double d27, double d28,
    const char* s29, const char* continent, const char* s31, const char* band,
    const char* s33);

int ResetStats0(
    const char* host_folder, int export_flag, const char* own_call,
    class COleDateTime* start, class COleDateTime* end, const char* s6,
    const char* s7, const char* s8, const char* s9, const char* s10,
    const char* s11, const char* s12, const char* s13, const char* s14,
    const char* own_prefix, int i16, int i17, int i18, double d19, double d20,
    const char* s21, const char* own_continent, const char* s23);

// Exported as CheckCall0.
int CheckCallFunc0(
    const char* call, unsigned int u2, unsigned int u3, const char* mode,
    const char* s5, const char* s6, const char* s7, const char* s8,
    const char* s9, const char* s10, const char* s11, const char* s12,
    const char* s13, const char* prefix, int i15, int i16, int i17, double d18,
    double d19, const char* s20, const char* s21, const char* s22,
    const char* s23, const char* s24, const char* band, const char* band2,
    char* serial_out, char* out28);

// Exported as IsValidExchg0.
int StatsIsValidExchg0(const char* exchange, const char* s2, const char* s3,
                       const char* s4, int i5, int i6, int i7);

// Exported as GetExchgCount0.
int StatsGetExchgCount0(const char* s1, const char* s2, const char* s3);

int GetNumberOfSets();

const char* GetSetName(int index);

const char* GetResult0(int* score);

void SetupSet0();

unsigned long setVersion(const char* version);
