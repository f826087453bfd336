/* Preloaded into 32-bit Wine under qemu-i386 user mode. qemu puts trap number -1 into the signal context of
 * every fault it hands to the guest, and 32-bit Wine decides what a fault is from that number (14 page fault,
 * 13 protection fault, ...), so a page fault Wine should survive ends the program ("Got unexpected trap -1").
 * This wraps the handlers Wine installs and rebuilds the trap number from the signal and its code. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stddef.h>
#include <ucontext.h>

typedef void (*handler_fn)(int, siginfo_t *, void *);
static handler_fn real_handler[65];
static int (*real_sigaction)(int, const struct sigaction *, struct sigaction *);

static int is_fault(int sig)
{
    return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP;
}

static void fix_trap_number(int sig, siginfo_t *info, void *context)
{
    greg_t *regs = ((ucontext_t *)context)->uc_mcontext.gregs;
    if ((int)regs[REG_TRAPNO] == -1) {
        switch (sig) {
        case SIGSEGV:
            regs[REG_TRAPNO] = (info->si_code == SEGV_MAPERR || info->si_code == SEGV_ACCERR) ? 14 : 13;
            break;
        case SIGBUS: regs[REG_TRAPNO] = info->si_code == BUS_ADRALN ? 17 : 14; break;
        case SIGILL: regs[REG_TRAPNO] = 6; break;
        case SIGFPE: /* floating-point faults stay -1: Wine then reads the FPU status itself */
            if (info->si_code == FPE_INTDIV) regs[REG_TRAPNO] = 0;
            else if (info->si_code == FPE_INTOVF) regs[REG_TRAPNO] = 4;
            break;
        case SIGTRAP: regs[REG_TRAPNO] = info->si_code == TRAP_TRACE ? 1 : 3; break;
        }
    }
    real_handler[sig](sig, info, context);
}

int sigaction(int sig, const struct sigaction *act, struct sigaction *old)
{
    if (!real_sigaction) real_sigaction = (int (*)(int, const struct sigaction *, struct sigaction *))dlsym(RTLD_NEXT, "sigaction");
    if (sig <= 0 || sig >= 65 || !is_fault(sig)) return real_sigaction(sig, act, old);
    handler_fn previous = real_handler[sig];
    int result;
    if (act && (act->sa_flags & SA_SIGINFO) && act->sa_sigaction != fix_trap_number) {
        struct sigaction wrapped = *act;
        wrapped.sa_sigaction = fix_trap_number;
        result = real_sigaction(sig, &wrapped, old);
        if (result == 0) real_handler[sig] = act->sa_sigaction;
    } else {
        result = real_sigaction(sig, act, old);
    }
    if (result == 0 && old && (old->sa_flags & SA_SIGINFO) && old->sa_sigaction == fix_trap_number)
        old->sa_sigaction = previous;
    return result;
}
