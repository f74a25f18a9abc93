"""Every scenario, in the order ctest lists them."""

from . import startup

ALL = [*startup.SCENARIOS]
