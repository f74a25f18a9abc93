"""The driver's transcript, read back into windows, progress texts and processes."""

import dataclasses


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            out.append({"n": "\n", "r": "\r"}.get(nxt, nxt))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


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
    def __init__(self, text):
        self.lines = text.splitlines()
        self.windows, self.statuses, self.percents, self.processes = [], [], [], {}
        current = None
        for line in self.lines:
            tag, _, rest = line.partition(" ")
            if tag == "WINDOW":
                current = SeenWindow(unescape(rest))
                self.windows.append(current)
            elif tag in ("TEXT", "BUTTON") and current is not None:
                number, _, text = rest.partition(" ")
                (current.texts if tag == "TEXT" else current.buttons)[int(number)] = unescape(text)
            elif tag == "CLICK" and current is not None:
                current.clicked.append(int(rest))
            elif tag == "STATUS":
                self.statuses.append(unescape(rest))
            elif tag == "PERCENT":
                self.percents.append(rest)
            elif tag == "PROCESS":
                pid, _, image = rest.partition(" ")
                self.processes[int(pid)] = Process(int(pid), unescape(image))
            elif tag == "EXIT":
                pid, _, code = rest.partition(" ")
                if int(pid) in self.processes:
                    self.processes[int(pid)].exit_code = int(code)

    def programs(self, predicate):
        return [p for p in self.processes.values() if predicate(p.image)]

    def describe(self):
        return "\n".join(self.lines)
