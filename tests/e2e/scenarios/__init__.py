"""Every scenario, in the order ctest lists them."""

from . import (components, double_byte, files, hardening, journal, languages, plan, registry, restart, run, setup_info,
               startup, unattended, wow64)

ALL = [*startup.SCENARIOS, *setup_info.SCENARIOS, *run.SCENARIOS, *files.SCENARIOS, *registry.SCENARIOS,
       *components.SCENARIOS, *unattended.SCENARIOS, *hardening.SCENARIOS, *restart.SCENARIOS,
       *plan.SCENARIOS, *journal.SCENARIOS,
       *double_byte.SCENARIOS, *languages.SCENARIOS, *wow64.SCENARIOS]
