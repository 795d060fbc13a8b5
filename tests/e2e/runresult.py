"""What a run of the program gave: exit code, output, its debug lines
(OutputDebugStringW, read from Wine's warn+seh channel in order) and the
windows it created (Wine's win channel)."""
import re

_ODS = re.compile(r'warn:seh:OutputDebugStringA "(.*)"$')
_CREATE = re.compile(r'trace:win:WIN_CreateWindowEx (.*)$')
# With +pid in WINEDEBUG each line starts "pid:tid:"; without it "tid:".
_PID = re.compile(r'^([0-9a-f]{4,8}):[0-9a-f]{4,8}:')


def _unescape_wine(s):
    """Undoes Wine's debugstr escaping of a traced string."""
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c == "\\" and i + 1 < len(s):
            n = s[i + 1]
            simple = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"'}
            if n in simple:
                out.append(simple[n]); i += 2; continue
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,2}", s[i + 2:])
                if m:
                    out.append(chr(int(m.group(0), 16))); i += 2 + len(m.group(0)); continue
            if n == "u":
                out.append(chr(int(s[i + 2:i + 6], 16))); i += 6; continue
            if n.isdigit():
                m = re.match(r"[0-7]{1,3}", s[i + 1:])
                out.append(chr(int(m.group(0), 8))); i += 1 + len(m.group(0)); continue
        out.append(c)
        i += 1
    return "".join(out)


class Result:
    def __init__(self, rc, stdout, stderr, elapsed):
        self.rc = rc
        self.stdout = stdout
        self.stderr = stderr
        self.elapsed = elapsed
        self.debug_lines = []
        self.created_windows = []  # (name, class) of every CreateWindowEx of the program
        lines = stderr.splitlines()
        # Wine traces every process the run starts into the same output: the
        # desktop process that a program's first use of the display starts
        # (Wine 10 starts it for more than Wine 8 did) makes windows and
        # loads libraries of its own. With +pid the program's process is the
        # one that writes the debug lines, and only its lines count.
        pids = {m.group(1) for m in (_PID.match(l) for l in lines if _ODS.search(l)) if m}
        self.own_lines = [l for l in lines if not pids or (_PID.match(l) and _PID.match(l).group(1) in pids)]
        for line in self.own_lines:
            m = _ODS.search(line)
            if m:
                self.debug_lines.append(_unescape_wine(m.group(1)))
                continue
            m = _CREATE.search(line)
            if m:
                parts = re.findall(r'L"((?:[^"\\]|\\.)*)"|(#[0-9a-fx]+)', m.group(1))
                texts = [_unescape_wine(a) if a else b for a, b in parts]
                self.created_windows.append(tuple(texts[:2]))

    def created_class(self, name):
        return any(len(w) > 1 and w[1] == name for w in self.created_windows)
