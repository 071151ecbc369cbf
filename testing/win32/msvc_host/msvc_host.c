/* A host of the plug-in built the way the host logger is: by another
 * compiler, for the MSVC ABI, linked against Windows' import libraries only,
 * with no C runtime. It loads velmora.dll, resolves every entry point under
 * both of its names and makes the calls of a scenario file (the calls of
 * velmora-replay on the sample log), then calls with values no real host
 * sends. Every call is made from the floating-point state such hosts run in
 * and, on 32-bit Windows, with the stack off its 16-byte boundary. After
 * every call the host's control words must be what it set and no exception
 * flag may be raised; the result text and page must equal the replay's.
 *
 * Environment: VELMORA_DLL (the DLL), VELMORA_CALLS (the scenario),
 * VELMORA_RESULT and VELMORA_PAGE (the replay's text and page),
 * VELMORA_HOST_STATE ("msvc", "traps" or "d3d").
 * Exit code 0: all held; 1: a check failed; 2: the set-up failed. */

#include <stddef.h>
#include <stdint.h>

#define WINAPI __stdcall
#define IMPORT __declspec(dllimport)
typedef void* HANDLE;
typedef wchar_t WCHAR;

IMPORT HANDLE WINAPI LoadLibraryW(const WCHAR* name);
IMPORT void* WINAPI GetProcAddress(HANDLE module, const char* name);
IMPORT HANDLE WINAPI GetStdHandle(unsigned long which);
IMPORT int WINAPI WriteFile(HANDLE file, const void* data, unsigned long size,
                            unsigned long* written, void* overlapped);
IMPORT HANDLE WINAPI CreateFileW(const WCHAR* name, unsigned long access, unsigned long share,
                                 void* security, unsigned long disposition,
                                 unsigned long flags, HANDLE from);
IMPORT int WINAPI ReadFile(HANDLE file, void* data, unsigned long size, unsigned long* read,
                           void* overlapped);
IMPORT int WINAPI CloseHandle(HANDLE handle);
IMPORT unsigned long WINAPI GetEnvironmentVariableW(const WCHAR* name, WCHAR* value,
                                                    unsigned long size);
IMPORT int WINAPI CreateDirectoryW(const WCHAR* name, void* security);
IMPORT void* WINAPI VirtualAlloc(void* at, size_t size, unsigned long type,
                                 unsigned long protect);
IMPORT __declspec(noreturn) void WINAPI ExitProcess(unsigned int code);

/* The compiler's own helpers, which a C runtime would give. */
int _fltused = 0;
void* memset(void* to, int value, size_t size) {
  unsigned char* p = to;
  while (size--) *p++ = (unsigned char)value;
  return to;
}
void* memcpy(void* to, const void* from, size_t size) {
  unsigned char* p = to;
  const unsigned char* q = from;
  while (size--) *p++ = *q++;
  return to;
}

/* ---- output, memory, files ---- */

static HANDLE out;
static int failures;

static size_t Length(const char* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}
static void Print(const char* s) {
  unsigned long written;
  WriteFile(out, s, (unsigned long)Length(s), &written, 0);
}
static void PrintHex(uint32_t value) {
  char text[11] = "0x";
  for (int i = 0; i < 8; ++i) text[2 + i] = "0123456789abcdef"[(value >> (28 - 4 * i)) & 15];
  text[10] = 0;
  Print(text);
}
static void PrintNumber(long value) {
  char text[24];
  int at = 23;
  int negative = value < 0;
  unsigned long v = negative ? 0ul - (unsigned long)value : (unsigned long)value;
  text[at] = 0;
  do text[--at] = (char)('0' + v % 10); while (v /= 10);
  if (negative) text[--at] = '-';
  Print(text + at);
}
static __declspec(noreturn) void SetUpFailed(const char* what) {
  Print("msvc_host: ");
  Print(what);
  Print("\r\n");
  ExitProcess(2);
}

static char* arena;
static size_t arena_used, arena_size;
static void* Take(size_t size) {
  size = (size + 15) & ~(size_t)15;
  if (!arena) {
    arena_size = 64u << 20;
    arena = VirtualAlloc(0, arena_size, 0x3000 /* commit, reserve */, 4 /* read-write */);
    if (!arena) SetUpFailed("no memory");
  }
  if (arena_size - arena_used < size) SetUpFailed("out of memory");
  void* p = arena + arena_used;
  arena_used += size;
  return p;
}

static const WCHAR* Environment(const char* name) {
  WCHAR wide[64];
  size_t i = 0;
  for (; name[i]; ++i) wide[i] = (WCHAR)name[i];
  wide[i] = 0;
  WCHAR* value = Take(4096 * sizeof(WCHAR));
  unsigned long n = GetEnvironmentVariableW(wide, value, 4096);
  if (n == 0 || n >= 4096) return 0;
  return value;
}
static const WCHAR* Required(const char* name) {
  const WCHAR* value = Environment(name);
  if (!value) {
    Print(name);
    SetUpFailed("is not set");
  }
  return value;
}

/* A whole file, with a NUL after it. */
static char* ReadWhole(const WCHAR* name, size_t* size) {
  HANDLE file = CreateFileW(name, 0x80000000 /* read */, 1, 0, 3 /* existing */, 0x80, 0);
  if (file == (HANDLE)(intptr_t)-1) SetUpFailed("a file cannot be opened");
  size_t capacity = 1u << 20, used = 0;
  char* data = Take(capacity);
  for (;;) {
    unsigned long got = 0;
    if (used + 65536 > capacity) SetUpFailed("a file is too long");
    if (!ReadFile(file, data + used, 65536, &got, 0)) SetUpFailed("a file cannot be read");
    if (got == 0) break;
    used += got;
  }
  CloseHandle(file);
  data[used] = 0;
  if (size) *size = used;
  return data;
}

static int Equal(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

static int EqualWide(const WCHAR* a, const char* b) {
  while (*a && *a == (WCHAR)*b) ++a, ++b;
  return *a == (WCHAR)*b;
}

static void Fail(const char* what, const char* detail) {
  ++failures;
  Print("FAILED: ");
  Print(what);
  if (detail) {
    Print(": ");
    Print(detail);
  }
  Print("\r\n");
}

/* ---- the floating-point state of the host ---- */

struct FloatState {
  const char* name;
  uint16_t control; /* x87 control word */
  uint32_t mxcsr;
};

static const struct FloatState kStates[] = {
    {"msvc", 0x027f, 0x1f80},  /* MSVC's default: all masked, 53-bit */
    {"traps", 0x1332, 0x1980}, /* invalid, zero divide, overflow raise (x87 and SSE) */
    {"d3d", 0x007f, 0x1f80},   /* all masked, 24-bit precision */
};

static const struct FloatState* state;
/* The words as the processor holds them once set (reserved bits read back
 * as the processor has them). */
static uint16_t set_control;
static uint32_t set_mxcsr;

static void SetState(const struct FloatState* s) {
  uint32_t mxcsr = s->mxcsr;
  __asm__ volatile("fnclex\n\tfldcw %2\n\tldmxcsr %3\n\tfnstcw %0\n\tstmxcsr %1"
                   : "=m"(set_control), "=m"(set_mxcsr)
                   : "m"(s->control), "m"(mxcsr)
                   : "memory");
}

/* After a call: the words as set, no flag raised (the host cleared them). */
static void CheckState(const char* call) {
  uint16_t control, status;
  uint32_t mxcsr;
  __asm__ volatile("fnstcw %0\n\tfnstsw %1\n\tstmxcsr %2"
                   : "=m"(control), "=m"(status), "=m"(mxcsr)
                   :
                   : "memory");
  if (control == set_control && mxcsr == set_mxcsr && (status & 0x3f) == 0) return;
  ++failures;
  Print("FAILED: after ");
  Print(call);
  Print(": x87 control ");
  PrintHex(control);
  Print(" status ");
  PrintHex(status);
  Print(", MXCSR ");
  PrintHex(mxcsr);
  Print("; the host set ");
  PrintHex(set_control);
  Print(" and ");
  PrintHex(set_mxcsr);
  Print("\r\n");
  SetState(state);
}

/* ---- calls: arguments as stack slots, the stack placed exactly ---- */

struct Call {
  uintptr_t slots[48];
  unsigned count;
};

static void Pointer(struct Call* c, const void* p) { c->slots[c->count++] = (uintptr_t)p; }
static void Int(struct Call* c, int v) { c->slots[c->count++] = (uintptr_t)(intptr_t)v; }
static void Unsigned(struct Call* c, unsigned v) { c->slots[c->count++] = v; }
static void Double(struct Call* c, double v) {
  uint64_t bits;
  memcpy(&bits, &v, sizeof bits);
#if defined(_M_X64)
  c->slots[c->count++] = (uintptr_t)bits;
#else
  c->slots[c->count++] = (uintptr_t)(uint32_t)bits;
  c->slots[c->count++] = (uintptr_t)(uint32_t)(bits >> 32);
#endif
}
static void Texts(struct Call* c, int n) {
  while (n--) Pointer(c, "");
}

/* uintptr_t Invoke(void* function, const uintptr_t* slots, unsigned count,
 *                  unsigned misalign): a cdecl call with the slots as its
 * arguments, made with the stack pointer `misalign` bytes past a 16-byte
 * boundary (32-bit), or by the x64 convention (the first four slots in
 * registers; none of the entry points has a floating-point one there). */
uintptr_t Invoke(void* function, const uintptr_t* slots, unsigned count, unsigned misalign);
#if defined(_M_X64)
__asm__(
    ".text\n.globl Invoke\nInvoke:\n"
    "  pushq %rbp\n  movq %rsp, %rbp\n  pushq %rsi\n  pushq %rdi\n"
    "  movq %rcx, %rax\n  movq %rdx, %rsi\n  movl %r8d, %ecx\n"
    "  cmpl $4, %ecx\n  jae 1f\n  movl $4, %ecx\n1:\n"
    "  leaq 15(,%rcx,8), %rdx\n  andq $-16, %rdx\n  subq %rdx, %rsp\n  andq $-16, %rsp\n"
    "  movq %rsp, %rdi\n  cld\n  rep movsq\n"
    "  movq 0(%rsp), %rcx\n  movq 8(%rsp), %rdx\n  movq 16(%rsp), %r8\n  movq 24(%rsp), %r9\n"
    "  callq *%rax\n"
    "  leaq -16(%rbp), %rsp\n  popq %rdi\n  popq %rsi\n  popq %rbp\n  retq\n");
#else
__asm__(
    ".text\n.globl _Invoke\n_Invoke:\n"
    "  pushl %ebp\n  movl %esp, %ebp\n  pushl %esi\n  pushl %edi\n"
    "  movl 16(%ebp), %ecx\n"
    "  leal 0(,%ecx,4), %edx\n  movl %esp, %eax\n  subl %edx, %eax\n  subl $16, %eax\n"
    "  andl $-16, %eax\n  addl 20(%ebp), %eax\n  movl %eax, %esp\n"
    "  movl %esp, %edi\n  movl 12(%ebp), %esi\n  cld\n  rep movsl\n"
    "  call *8(%ebp)\n"
    "  leal -8(%ebp), %esp\n  popl %edi\n  popl %esi\n  popl %ebp\n  ret\n");
#endif

/* ---- the entry points, under both names ---- */

enum { kAdd, kRemove, kReset, kCheck, kValid, kCount, kSets, kName, kResult, kSetup, kVersion,
       kEntryPoints };

static const char* const kPlain[kEntryPoints] = {
    "AddData0", "RemoveData0", "ResetStats0", "CheckCall0", "IsValidExchg0", "GetExchgCount0",
    "GetNumberOfSets", "GetSetName", "GetResult0", "SetupSet0", "setVersion"};
static const char* const kDecorated[kEntryPoints] = {
    "?AddData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z",
    "?RemoveData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z",
    "?ResetStats0@@YAHPBDH0PAVCOleDateTime@@10000000000HHHNN000@Z",
    "?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z",
    "?StatsIsValidExchg0@@YAHPBD000HHH@Z",
    "?StatsGetExchgCount0@@YAHPBD00@Z",
    "?GetNumberOfSets@@YAHXZ",
    "?GetSetName@@YAPBDH@Z",
    "?GetResult0@@YAPBDPAH@Z",
    "?SetupSet0@@YAXXZ",
    "?setVersion@@YAKPBD@Z"};


static void* entry[kEntryPoints];

static void Resolve(HANDLE dll) {
  for (int i = 0; i < kEntryPoints; ++i) {
    void* plain = GetProcAddress(dll, kPlain[i]);
    void* decorated = GetProcAddress(dll, kDecorated[i]);
    if (!plain || plain != decorated) Fail("an entry point by both names", kPlain[i]);
    entry[i] = plain ? plain : decorated;
    if (!entry[i]) SetUpFailed("an entry point is missing");
  }
}

/* Each entry point's calls go round the four places of the stack pointer
 * against a 16-byte boundary (32-bit hosts keep only 4-byte alignment);
 * x64 code keeps the boundary. */
static unsigned calls_made[kEntryPoints];

static uintptr_t Make(int which, struct Call* c) {
#if defined(_M_X64)
  const unsigned misalign = 0;
#else
  const unsigned misalign = 4 * (calls_made[which] % 4);
#endif
  ++calls_made[which];
  SetState(state);
  uintptr_t result = Invoke(entry[which], c->slots, c->count, misalign);
  CheckState(kPlain[which]);
  SetState(&kStates[0]);
  return result;
}

/* The host's date-time: days since 1899-12-30 and a status. */
struct OleDateTime {
  double days;
  int32_t status;
};

static void QsoCall(struct Call* c, const char* own, const char* call,
                    const struct OleDateTime* time, unsigned freq_hz, const char* mode,
                    const char* rst_sent, const char* nr_sent, const char* rst_rcvd,
                    const char* nr_rcvd, const char* prefix, const char* continent,
                    const char* band) {
  c->count = 0;
  Pointer(c, own);
  Pointer(c, call);
  Pointer(c, time);
  Pointer(c, 0), Pointer(c, 0), Pointer(c, 0);
  Unsigned(c, 0);
  Unsigned(c, freq_hz);
  Pointer(c, mode), Pointer(c, rst_sent), Pointer(c, rst_rcvd), Pointer(c, nr_sent),
      Pointer(c, nr_rcvd);
  Texts(c, 9);
  Pointer(c, prefix);
  Int(c, 0), Int(c, 0), Int(c, 0);
  Double(c, 1e308), Double(c, -1e308);
  Pointer(c, "");
  Pointer(c, continent);
  Pointer(c, "");
  Pointer(c, band);
  Pointer(c, "");
}

static int AddOrRemove(int which, const char* own, const char* call,
                       const struct OleDateTime* time, unsigned freq_hz, const char* mode,
                       const char* rst_sent, const char* nr_sent, const char* rst_rcvd,
                       const char* nr_rcvd, const char* prefix, const char* continent,
                       const char* band) {
  struct Call c;
  QsoCall(&c, own, call, time, freq_hz, mode, rst_sent, nr_sent, rst_rcvd, nr_rcvd, prefix,
          continent, band);
  return (int)Make(which, &c);
}

static int Reset(int export_flag, const char* own, const struct OleDateTime* start,
                 const struct OleDateTime* end, const char* prefix, const char* continent) {
  struct Call c = {{0}, 0};
  Pointer(&c, "");
  Int(&c, export_flag);
  Pointer(&c, own);
  Pointer(&c, start), Pointer(&c, end);
  Texts(&c, 9);
  Pointer(&c, prefix);
  Int(&c, 0), Int(&c, 0), Int(&c, 0);
  Double(&c, 0.0), Double(&c, 0.0);
  Pointer(&c, "");
  Pointer(&c, continent);
  Pointer(&c, "");
  return (int)Make(kReset, &c);
}

static int Check(const char* call, const char* mode, const char* prefix, const char* band,
                 const char* band2, char* serial) {
  struct Call c = {{0}, 0};
  Pointer(&c, call);
  Unsigned(&c, 0), Unsigned(&c, 0);
  Pointer(&c, mode);
  Texts(&c, 9);
  Pointer(&c, prefix);
  Int(&c, 0), Int(&c, 0), Int(&c, 0);
  Double(&c, 0.0), Double(&c, 0.0);
  Texts(&c, 5);
  Pointer(&c, band);
  Pointer(&c, band2);
  Pointer(&c, serial);
  Pointer(&c, 0);
  return (int)Make(kCheck, &c);
}

/* A copy of the result: the plug-in's text lives until its next call. */
static const char* Result(void) {
  struct Call c = {{0}, 0};
  int score = 0;
  Pointer(&c, &score);
  const char* text = (const char*)Make(kResult, &c);
  if (!text) {
    Fail("GetResult0 gave no text", 0);
    return "";
  }
  const size_t n = Length(text);
  char* copy = Take(n + 1);
  memcpy(copy, text, n + 1);
  return copy;
}

static void Version(const char* text) {
  struct Call c = {{0}, 0};
  Pointer(&c, text);
  Make(kVersion, &c);
}

/* ---- the scenario file ---- */

struct Words {
  char* word[24];
  int count;
};

/* Splits a line in place; "-" is the empty text, "~" a null pointer. */
static void Split(char* line, struct Words* w) {
  w->count = 0;
  while (*line) {
    while (*line == ' ' || *line == '\t') *line++ = 0;
    if (!*line) break;
    if (w->count == 24) SetUpFailed("a scenario line has too many words");
    w->word[w->count++] = line;
    while (*line && *line != ' ' && *line != '\t') ++line;
  }
  for (int i = 0; i < w->count; ++i)
    if (Equal(w->word[i], "-")) w->word[i][0] = 0;
    else if (Equal(w->word[i], "~")) w->word[i] = 0;
}

static long Digits(const char* s, int from, int n) {
  long v = 0;
  for (int i = from; i < from + n; ++i) {
    if (s[i] < '0' || s[i] > '9') SetUpFailed("a scenario date is not YYYY-MM-DD HH:MM");
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

/* Days from 1970-01-01 of a date of the proleptic Gregorian calendar. */
static long DaysFromCivil(long y, long m, long d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

/* "YYYY-MM-DD" "HH:MM" as the host holds it (dates after 1899-12-30). */
static struct OleDateTime* Time(const char* date, const char* time) {
  struct OleDateTime* t = Take(sizeof *t);
  if (!date) {
    t->days = 0.0, t->status = 2;
    return t;
  }
  if (!time || Length(date) != 10 || Length(time) != 5) SetUpFailed("a bad scenario date");
  const long days = DaysFromCivil(Digits(date, 0, 4), Digits(date, 5, 2), Digits(date, 8, 2)) -
                    DaysFromCivil(1899, 12, 30);
  const long seconds = Digits(time, 0, 2) * 3600 + Digits(time, 3, 2) * 60;
  t->days = (double)days + (double)seconds / 86400.0;
  t->status = 0;
  return t;
}

static unsigned Number(const char* s) {
  unsigned v = 0;
  while (s && *s >= '0' && *s <= '9') v = v * 10 + (unsigned)(*s++ - '0');
  return v;
}

/* A parsed scenario line, ready to call: its texts in the order of the
 * call, its date-times made. */
struct Step {
  int command;
  const char* text[12];
  struct OleDateTime *time, *end;
  unsigned number;
};

static struct Step* steps;
static int step_count;

struct Cursor {
  struct Words w;
  int next;
};

static const char* Next(struct Cursor* c) {
  if (c->next >= c->w.count) SetUpFailed("a scenario line has too few words");
  return c->w.word[c->next++];
}
static struct OleDateTime* NextTime(struct Cursor* c) {
  const char* date = Next(c);
  return Time(date, date ? Next(c) : 0);
}

static void ParseLine(char* line, struct Step* s) {
  struct Cursor c = {{{0}, 0}, 1};
  Split(line, &c.w);
  const char* command = c.w.word[0];
  if (!command) SetUpFailed("a scenario line without a command");
  if (Equal(command, "reset")) {
    s->command = kReset;
    s->text[0] = Next(&c);               /* folder */
    s->number = Number(Next(&c));        /* export flag */
    s->text[1] = Next(&c);               /* own call */
    s->time = NextTime(&c);
    s->end = NextTime(&c);
    s->text[2] = Next(&c), s->text[3] = Next(&c); /* own prefix, continent */
  } else if (Equal(command, "add") || Equal(command, "remove")) {
    s->command = Equal(command, "add") ? kAdd : kRemove;
    s->text[0] = Next(&c), s->text[1] = Next(&c); /* own call, call */
    s->time = NextTime(&c);
    s->number = Number(Next(&c)); /* Hz */
    for (int i = 2; i < 10; ++i) s->text[i] = Next(&c);
  } else if (Equal(command, "check")) {
    s->command = kCheck;
    for (int i = 0; i < 5; ++i) s->text[i] = Next(&c);
  } else if (Equal(command, "result")) {
    s->command = kResult;
  } else if (Equal(command, "version")) {
    s->command = kVersion;
    s->text[0] = Next(&c);
  } else {
    SetUpFailed("a scenario line this host does not know");
  }
  if (c.next != c.w.count) SetUpFailed("a scenario line has too many words");
}

static void Parse(char* text) {
  steps = Take(sizeof(struct Step) * 4096);
  while (*text) {
    char* line = text;
    while (*text && *text != '\n') ++text;
    if (*text) *text++ = 0;
    if (line[0] == '#' || line[0] == 0 || line[0] == '\r') continue;
    if (step_count == 4096) SetUpFailed("the scenario is too long");
    ParseLine(line, &steps[step_count++]);
  }
}

/* Makes one step; a result's text is kept in `texts`. */
static void Run(const struct Step* s, const char** texts, int* text_count) {
  const char* const* t = s->text;
  char serial[16] = {0};
  switch (s->command) {
    case kReset:
      Reset((int)s->number, t[1], s->time, s->end, t[2], t[3]);
      break;
    case kAdd:
    case kRemove: /* own, call, mode, rst sent, nr sent, rst rcvd, nr rcvd, prefix, ... */
      AddOrRemove(s->command, t[0], t[1], s->time, s->number, t[2], t[3], t[4], t[5], t[6],
                  t[7], t[8], t[9]);
      break;
    case kCheck:
      Check(t[0], t[1], t[2], t[3], t[4], serial);
      break;
    case kResult:
      if (*text_count < 8) texts[(*text_count)++] = Result();
      break;
    case kVersion:
      Version(t[0]);
      break;
  }
}

/* ---- what no real host sends ---- */

static void AbsurdCalls(void) {
  static const uint64_t kBits[] = {
      0x7e37e43c8800759cull, /* 1e300 */
      0xfe37e43c8800759cull, /* -1e300 */
      0x7fefffffffffffffull, /* the largest double */
      0xffefffffffffffffull, /* its negative */
      0x7ff0000000000000ull, /* infinity */
      0xfff0000000000000ull, /* minus infinity */
      0x7ff8000000000000ull, /* a quiet NaN */
      0x7ff0000000000001ull, /* a signalling NaN */
      0x0000000000000001ull, /* the smallest denormal */
      0x4146b4b800000000ull, /* 2958464.0: the year 9999 */
  };
  static const int32_t kStatus[] = {0, 0, 0, 1, 2, 7};
  const int n = (int)(sizeof kBits / sizeof kBits[0]);
  struct OleDateTime last = {0.0, 0};
  memcpy(&last.days, &kBits[0], sizeof last.days);
  Reset(0, "DL1ABC", &last, &last, "DL", "EU");
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < (int)(sizeof kStatus / sizeof kStatus[0]); ++k) {
      struct OleDateTime t;
      memcpy(&t.days, &kBits[i], sizeof t.days);
      t.status = kStatus[k];
      const unsigned freq = (i & 1) ? 0xffffffffu : (unsigned)i;
      AddOrRemove(kAdd, "DL1ABC", "F5ABC", &t, freq, "CW", "599", "001", "599", "002", "F",
                  "EU", "20m");
      AddOrRemove(kAdd, 0, 0, &t, freq, 0, 0, 0, 0, 0, 0, 0, 0);
      AddOrRemove(kAdd, "DL1ABC", "W1AW", 0, freq, "CW", "599", "1", "599", "2", "K", "NA",
                  "40m");
      Result();
      AddOrRemove(kRemove, "DL1ABC", "F5ABC", &t, freq, "CW", "599", "001", "599", "002",
                  "F", "EU", "20m");
      AddOrRemove(kRemove, 0, 0, &t, freq, 0, 0, 0, 0, 0, 0, 0, 0);
    }
    memcpy(&last.days, &kBits[i], sizeof last.days);
    /* Export mode stays off: it opens the modal header form. */
    Reset(0, "DL1ABC", &last, 0, "DL", "EU");
    Reset(0, 0, 0, &last, 0, 0);
  }
  char serial[16];
  Check(0, 0, 0, 0, 0, serial);
  Check("F5ABC", "CW", "F", "20m", 0, 0);
  Check("F5ABC", "CW", "F", "20m", "40m", serial);
  Result();
  /* Four times each: every place of the stack. */
  for (int round = 0; round < 4; ++round) {
    struct Call c = {{0}, 0};
    Pointer(&c, round & 1 ? "001" : 0), Pointer(&c, 0), Pointer(&c, 0), Pointer(&c, 0);
    Int(&c, 0), Int(&c, 0), Int(&c, 0);
    Make(kValid, &c);
    Make(kCount, &c);
    Make(kSets, &c);
    c.count = 0;
    Int(&c, round - 1);
    Make(kName, &c);
    c.count = 0;
    Pointer(&c, 0);
    Make(kResult, &c);
    Make(kVersion, &c);
  }
}

/* ---- the run ---- */

static const struct FloatState* StateNamed(const WCHAR* name) {
  for (int i = 0; i < 3; ++i)
    if (EqualWide(name, kStates[i].name)) return &kStates[i];
  SetUpFailed("VELMORA_HOST_STATE is not msvc, traps or d3d");
}

static void Compare(const char* what, const char* got, const char* expected) {
  if (Equal(got, expected)) return;
  size_t at = 0;
  while (got[at] && got[at] == expected[at]) ++at;
  Fail(what, "differs from the replay's");
  Print("  first difference at byte ");
  PrintNumber((long)at);
  Print("\r\n");
}

void HostMain(void) {
  out = GetStdHandle((unsigned long)-11);
  SetState(&kStates[0]);
  state = StateNamed(Required("VELMORA_HOST_STATE"));
  char* calls = ReadWhole(Required("VELMORA_CALLS"), 0);
  const char* text = ReadWhole(Required("VELMORA_RESULT"), 0);
  const char* page = ReadWhole(Required("VELMORA_PAGE"), 0);
  Parse(calls);
  CreateDirectoryW(L"Plugins", 0);

  HANDLE dll = LoadLibraryW(Required("VELMORA_DLL"));
  if (!dll) SetUpFailed("velmora.dll does not load");
  Resolve(dll);

  const char* results[8];
  int result_count = 0;
  for (int i = 0; i < step_count; ++i) Run(&steps[i], results, &result_count);
  if (result_count != 2) SetUpFailed("the scenario asks for the text, then the page");
  /* The replay printed the text and a line break. */
  size_t n = Length(results[0]);
  char* printed = Take(n + 2);
  memcpy(printed, results[0], n);
  printed[n] = '\n', printed[n + 1] = 0;
  Compare("the result text", printed, text);
  Compare("the result page", results[1], page);

  /* The last QSO taken out and handed over again: the same log, the same page. */
  for (int i = step_count; i-- > 0;)
    if (steps[i].command == kAdd) {
      struct Step again = steps[i];
      again.command = kRemove;
      Run(&again, results, &result_count);
      Run(&steps[i], results, &result_count);
      break;
    }
  Compare("the page after a removal and the same QSO again", Result(), page);

  AbsurdCalls();
  Print(failures ? "msvc_host: failed\r\n" : "msvc_host: all held\r\n");
  ExitProcess(failures ? 1 : 0);
}
