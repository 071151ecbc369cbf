/*
 * Preloaded into every 32-bit process that runs under the user-mode emulator.
 *
 * The emulator hands a signal frame whose trap number is -1 for every fault.
 * Wine decides from that number what a fault was (page fault, divide error,
 * breakpoint ...), so without it every access violation would turn into an
 * unhandled "illegal instruction". This library wraps sigaction() for the
 * fault signals and, when the kernel (not kill() or tgkill()) raised one,
 * fills in the trap number the processor would have given before it calls
 * the handler that was installed.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stddef.h>
#include <ucontext.h>

typedef int (*sigaction_fn)(int, const struct sigaction *, struct sigaction *);
typedef void (*handler_fn)(int, siginfo_t *, void *);

enum { kSignalCount = 65 };
static handler_fn installed[kSignalCount];

static int IsFaultSignal(int sig) {
  return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE ||
         sig == SIGTRAP;
}

/* The x86 exception number for a fault the kernel reported as sig/code. */
static int TrapNumber(int sig, int code) {
  switch (sig) {
    case SIGSEGV: return code == SEGV_MAPERR || code == SEGV_ACCERR ? 14 : 13;
    case SIGBUS: return code == BUS_ADRALN ? 17 : 13;
    case SIGILL: return 6;
    case SIGFPE: return code == FPE_INTDIV ? 0 : code == FPE_INTOVF ? 4 : 16;
    case SIGTRAP: return code == TRAP_TRACE ? 1 : 3;
  }
  return -1;
}

static void Dispatch(int sig, siginfo_t *info, void *context) {
  ucontext_t *uc = context;
  if (uc != NULL && info != NULL && info->si_code > 0 &&
      (int)uc->uc_mcontext.gregs[REG_TRAPNO] == -1) {
    uc->uc_mcontext.gregs[REG_TRAPNO] = TrapNumber(sig, info->si_code);
  }
  handler_fn handler = installed[sig];
  if (handler != NULL) handler(sig, info, context);
}

static sigaction_fn RealSigaction(void) {
  static sigaction_fn real;
  if (real == NULL) real = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
  return real;
}

int sigaction(int sig, const struct sigaction *act, struct sigaction *old) {
  sigaction_fn real = RealSigaction();
  if (real == NULL) return -1;
  if (sig <= 0 || sig >= kSignalCount || !IsFaultSignal(sig)) {
    return real(sig, act, old);
  }
  handler_fn previous = installed[sig];
  struct sigaction wrapped;
  const struct sigaction *use = act;
  if (act != NULL && (act->sa_flags & SA_SIGINFO) && act->sa_sigaction != NULL) {
    wrapped = *act;
    wrapped.sa_sigaction = Dispatch;
    use = &wrapped;
  }
  /* The table is set first: the signal may come as soon as it is installed. */
  if (act != NULL) installed[sig] = use == &wrapped ? act->sa_sigaction : NULL;
  int result = real(sig, use, old);
  if (result != 0) {
    installed[sig] = previous;
    return result;
  }
  if (old != NULL && (old->sa_flags & SA_SIGINFO) && old->sa_sigaction == Dispatch) {
    old->sa_sigaction = previous;
  }
  return 0;
}
