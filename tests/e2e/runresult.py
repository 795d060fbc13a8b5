"""What a run of the program gave: exit code, output, its debug lines
(OutputDebugStringW, read from Wine's warn+seh channel in order) and the
windows it created (Wine's win channel)."""
import re

_ODS = re.compile(r'warn:seh:OutputDebugStringA "(.*)"$')
_CREATE = re.compile(r'trace:win:WIN_CreateWindowEx (.*)$')


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
        for line in stderr.splitlines():
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
