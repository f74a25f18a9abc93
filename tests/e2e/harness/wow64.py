"""What the WoW64 families need beyond a prefix: the shipped 32-bit build and nothing else, and a
machine that can start Wine's 32-bit half."""

from .wine import PE_MACHINE_I386, can_run_32bit_linux_programs, pe_machine

# ctest's SKIP_RETURN_CODE for these families.
SKIPPED = 77


def skip_line():
    """One line saying why the family cannot run here, or None when it can."""
    if can_run_32bit_linux_programs():
        return None
    return ("SKIPPED: the WoW64 families run the shipped 32-bit build in a 64-bit prefix, and this "
            "machine's kernel refuses 32-bit programs (Wine's i386 loader fails with 'Exec format error')")


def require_32bit(program):
    """The x86-64 build never runs under WoW64, so it would pass these families for a reason that
    has nothing to do with them."""
    if pe_machine(program) != PE_MACHINE_I386:
        raise RuntimeError(f"{program} is not a 32-bit program: the WoW64 families run only the "
                           f"shipped 32-bit build")
