"""The driver's transcript, read back into windows, progress texts and processes."""

import dataclasses

from .driver_text import unescape


@dataclasses.dataclass
class SeenWindow:
    caption: str
    texts: dict = dataclasses.field(default_factory=dict)     # id -> text
    buttons: dict = dataclasses.field(default_factory=dict)   # id -> text
    clicked: list = dataclasses.field(default_factory=list)

    def describe(self):
        return f"{self.caption!r} texts={self.texts} buttons={self.buttons} clicked={self.clicked}"


@dataclasses.dataclass
class Process:
    pid: int
    image: str
    exit_code: int | None = None


class Transcript:
    """The driver's log, given as the bytes it wrote in the prefix's code page (`encoding`)."""

    def __init__(self, data, encoding):
        raw_lines = data.splitlines()
        self.lines = [line.decode(encoding, errors="replace") for line in raw_lines]
        self.windows, self.statuses, self.percents, self.processes = [], [], [], {}
        current = None

        def text(raw):
            # A cut character shows as \x.. rather than vanishing into a replacement mark.
            return unescape(raw).decode(encoding, errors="backslashreplace")

        for raw_line in raw_lines:
            raw_tag, _, raw_rest = raw_line.partition(b" ")
            tag, rest = raw_tag.decode("ascii", errors="replace"), raw_rest.decode("ascii", errors="replace")
            if tag == "WINDOW":
                current = SeenWindow(text(raw_rest))
                self.windows.append(current)
            elif tag in ("TEXT", "BUTTON") and current is not None:
                number, _, raw_text = raw_rest.partition(b" ")
                (current.texts if tag == "TEXT" else current.buttons)[int(number)] = text(raw_text)
            elif tag == "CLICK" and current is not None:
                current.clicked.append(int(rest))
            elif tag == "STATUS":
                self.statuses.append(text(raw_rest))
            elif tag == "PERCENT":
                self.percents.append(rest)
            elif tag == "PROCESS":
                pid, _, image = raw_rest.partition(b" ")
                self.processes[int(pid)] = Process(int(pid), text(image))
            elif tag == "EXIT":
                pid, _, code = rest.partition(" ")
                if int(pid) in self.processes:
                    self.processes[int(pid)].exit_code = int(code)

    def programs(self, predicate):
        return [p for p in self.processes.values() if predicate(p.image)]

    def describe(self):
        return "\n".join(self.lines)
