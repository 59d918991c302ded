#!/usr/bin/env python3
"""Fails every file and network operation of a user action in turn.

For each action of tests/faults/faultdriver.cpp (a pump added through the
dialog; "Salva come PDF…"; "stampa" with no print server, so the page goes to
the documents folder; "stampa" on a queue of a private print server,
tests/cups/private-cupsd.sh), the harness

 1. runs it once clean under strace (attached once the window is up, so only
    the action is traced) and lists the action's calls on its own files and
    sockets, each as (system call, its number n in the thread that made it);
 2. runs it again for each such call and each of EIO, ENOSPC and EACCES, with
    strace failing the n-th call of that name (-e inject=NAME:error=E:when=n);
 3. delays a few calls past the program's deadlines (delay_enter);
 4. kills the program with SIGKILL at seeded random calls while a pump or a
    PDF is being saved, then runs the action once more without faults.

After each run it checks: no crash (status 0, no signal); the user was told
the true cause (a box naming the file, folder, printer or server, with the
disk's cause for ENOSPC and EACCES, and never an errno-0 text such as
"Success"), or the action succeeded despite the fault; the pump file exactly
as before or exactly as after the clean run; every PDF under a final name
one A4 page (pdfinfo); no temporary file left (.Rotamet-*.pdf, pompe.csv.*,
$TMPDIR/Rotamet-*.pdf).

Counts are bounded for CI (--points, --delays, --kills); --points 0 fails
every call. Exit status 0 when every case passed, 1 otherwise, 77 when strace is
missing or cannot trace here.
"""
import argparse
import os
import queue
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from datetime import date

HERE = os.path.dirname(os.path.abspath(__file__))
CUPSD = os.path.join(HERE, "..", "cups", "private-cupsd.sh")
ERRNOS = ["EIO", "ENOSPC", "EACCES"]
# The calls that reach a file or a socket: by path, by descriptor, or the
# network's.
CALLS = ("openat,open,creat,newfstatat,statx,stat,lstat,access,faccessat,faccessat2,"
         "mkdir,mkdirat,rename,renameat,renameat2,link,linkat,unlink,unlinkat,"
         "readlink,readlinkat,getdents64,"
         "read,pread64,write,pwrite64,writev,fsync,fdatasync,ftruncate,fallocate,close,flock,"
         "socket,connect,sendto,recvfrom,sendmsg,recvmsg")
# The calls that a full disk fails (ENOSPC), and those that a permission
# refuses (EACCES); other calls get these errors only from the harness.
CAN_FILL = {"openat", "open", "creat", "mkdir", "mkdirat", "write", "pwrite64", "writev", "fsync", "fdatasync",
            "rename", "renameat", "renameat2", "link", "linkat", "fallocate", "ftruncate"}
CAN_REFUSE = {"openat", "open", "creat", "mkdir", "mkdirat", "rename", "renameat", "renameat2", "link", "linkat",
              "unlink", "unlinkat", "access", "faccessat", "faccessat2", "newfstatat", "statx", "stat", "lstat",
              "connect"}
ZERO_CAUSES = ["Success", "No error", "errore 0", "Errore 0", "(0)"]
HEADER = b"codice;minimo_mm;massimo_mm;fine_alzata_gradi\n"
BEFORE = HEADER + b"0445010801;38,00;47,00;100\n"
QUEUE = "RotametPDF"
# What a message says of a wait given up at its deadline, by action.
DEADLINE_TEXTS = {
    "pump": r"Il file delle pompe non risponde",
    "pdf": r"La cartella (dei documenti|'.*') non risponde",
    "folder": r"La cartella (dei documenti|'.*') non risponde",
    "queue": r"Il server di stampa non risponde|La stampante '.*' non ha preso la pagina entro 30 secondi",
}


def deadline_text(scenario, call):
    """What the message must say when call was held past the deadlines: the
    held file's folder, the pump file, or, for the print server's own files
    and sockets, the server or the printer."""
    target = call[2]
    if target.startswith(scenario.pumps):
        return DEADLINE_TEXTS["pump"]
    if target.startswith((scenario.docs, os.path.dirname(scenario.chosen))):
        return DEADLINE_TEXTS["folder"]
    return DEADLINE_TEXTS["queue"]


# The program's deadlines (s) and the delay that passes each.
DEADLINES = {"pump": 15, "pdf": 30, "folder": 30, "queue": 30}


def log(*args):
    print(*args, flush=True)


class Scenario:
    """One action, its folders and what it must leave behind."""

    def __init__(self, name, base, cups=None):
        self.name = name
        self.base = base
        self.cups = cups
        self.home = os.path.join(base, "home")
        self.docs = os.path.join(self.home, "Documents")
        self.tmp = os.path.join(base, "tmp")
        self.pumps = os.path.join(base, "pompe", "pompe.csv")
        self.chosen = os.path.join(base, "scelta", "Scala pompa.pdf")
        self.after = None  # the pump file after a clean run

    def reset(self):
        shutil.rmtree(self.base, ignore_errors=True)
        for d in (self.docs, self.tmp, os.path.dirname(self.pumps), os.path.dirname(self.chosen)):
            os.makedirs(d)
        with open(self.pumps, "wb") as f:
            f.write(BEFORE)

    def env(self):
        env = dict(os.environ)
        for k in ("XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR", "LPDEST", "PRINTER"):
            env.pop(k, None)
        env.update(HOME=self.home, TMPDIR=self.tmp, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")
        env["CUPS_SERVER"] = self.cups if self.cups else os.path.join(self.base, "nessun-server.sock")
        return env

    def argv(self, driver):
        kind = {"pump": "pump", "pdf": "pdf", "folder": "print", "queue": "print"}[self.name]
        return [driver, kind, self.pumps] + ([self.chosen] if kind == "pdf" else [])

    # What the message must name.
    def names(self):
        if self.name == "pump":
            return [self.pumps, "file delle pompe"]
        if self.name == "pdf":
            return [self.chosen, os.path.dirname(self.chosen)]
        if self.name == "folder":
            return [self.docs]
        return [QUEUE, "server di stampa"]

    def final_pdfs(self):
        found = []
        if os.path.isdir(self.docs):
            found += [os.path.join(self.docs, f) for f in os.listdir(self.docs)
                      if f.startswith("Rotamet ") and f.endswith(".pdf")]
        if os.path.exists(self.chosen):
            found.append(self.chosen)
        return found

    def temporaries(self):
        left = []
        for d in (self.docs, os.path.dirname(self.chosen)):
            if os.path.isdir(d):
                left += [os.path.join(d, f) for f in os.listdir(d) if re.match(r"\.Rotamet-.*\.pdf$", f)]
        d = os.path.dirname(self.pumps)
        left += [os.path.join(d, f) for f in os.listdir(d) if f.startswith("pompe.csv.") and f != "pompe.csv.lock"]
        if os.path.isdir(self.tmp):
            left += [os.path.join(self.tmp, f) for f in os.listdir(self.tmp) if re.match(r"Rotamet-.*\.pdf$", f)]
        return left

    def stale_lock(self):
        return os.path.exists(self.pumps + ".lock")

    def own(self, target):
        """Whether a traced call's target is one of the action's own files or sockets."""
        if target.startswith("socket:") or target.startswith("UNIX:"):
            return True
        return target.startswith(self.base) or (self.cups is not None and target.startswith(self.cups))


class Run:
    def __init__(self):
        self.status = None
        self.boxes = []
        self.dialog_open = False
        self.ended = False
        self.driver_error = None
        self.seconds = 0.0
        self.output = ""
        self.untraced = False  # strace could not attach
        self.pid = None
        self.action = None  # seconds the action took, as the driver saw it


def pages_ok(path):
    try:
        info = subprocess.run(["pdfinfo", path], capture_output=True, text=True, timeout=30).stdout
    except subprocess.TimeoutExpired:
        return False
    return re.search(r"^Pages:\s+1$", info, re.M) is not None and "(A4)" in info


def attached(pid):
    try:
        tasks = os.listdir(f"/proc/{pid}/task")
    except FileNotFoundError:
        return False
    for t in tasks:
        try:
            with open(f"/proc/{pid}/task/{t}/status") as f:
                if re.search(r"^TracerPid:\s+0$", f.read(), re.M):
                    return False
        except FileNotFoundError:
            pass
    return True


def run_once(scenario, driver, strace_args=None, trace_log=None, limit=60, code=None):
    """Runs the driver; with strace_args, strace attaches once the window is up."""
    r = Run()
    env = scenario.env()
    if code:
        env["ROTAMET_FAULT_CODE"] = code
    p = subprocess.Popen(scenario.argv(driver), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, env=env, text=True, start_new_session=True)
    lines = queue.Queue()

    def reader():
        for line in p.stdout:
            lines.put(line.rstrip("\n"))
        lines.put(None)

    threading.Thread(target=reader, daemon=True).start()
    r.pid = p.pid
    out = []
    ready = False
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        try:
            line = lines.get(timeout=1)
        except queue.Empty:
            continue
        if line is None:
            break
        out.append(line)
        if line == "READY":
            ready = True
            break
    tracer = None
    if ready and strace_args is not None:
        tracer = subprocess.Popen(["strace", "-f", "-p", str(p.pid), "-o", trace_log or "/dev/null"] + strace_args,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        until = time.monotonic() + 20
        while not attached(p.pid) and time.monotonic() < until and tracer.poll() is None:
            time.sleep(0.02)
        if not attached(p.pid):
            r.untraced = True
    start = time.monotonic()
    if ready:
        try:
            p.stdin.write("GO\n")
            p.stdin.flush()
        except (BrokenPipeError, OSError):
            pass
    try:
        r.status = p.wait(timeout=limit)
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        r.status = "hung"
        p.wait()
    r.seconds = time.monotonic() - start
    if tracer:
        try:
            tracer.wait(timeout=30)
        except subprocess.TimeoutExpired:
            tracer.kill()
            tracer.wait()
    while True:
        line = lines.get()
        if line is None:
            break
        out.append(line)
    r.output = "\n".join(out)
    if not ready:
        r.driver_error = "the window never got ready"
    for line in out:
        if line.startswith("BOX\t"):
            _, title, text = line.split("\t", 2)
            r.boxes.append((title, text.replace("\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\")))
        elif line == "DIALOG-OPEN":
            r.dialog_open = True
        elif line.startswith("ACTION "):
            r.action = int(line[7:]) / 1000
        elif line == "END":
            r.ended = True
        elif line.startswith("DRIVER "):
            r.driver_error = line[7:]
    return r


ENTRY = re.compile(r"^(\d+)\s+([a-z0-9_]+)\((.*)$")


def call_points(scenario, trace_log, main_tid):
    """The action's calls on its own files and sockets: [(name, n, target)],
    n counted per thread as strace counts for :when=; and how many calls of
    each name the window's thread (main_tid) made."""
    counts = {}
    points = {}
    with open(trace_log, errors="replace") as f:
        for line in f:
            m = ENTRY.match(line)
            if not m:
                continue
            tid, name, args = m.groups()
            key = (tid, name)
            counts[key] = counts.get(key, 0) + 1
            n = counts[key]
            target = ""
            fd = re.match(r"(-?\d+|AT_FDCWD)<([^>]*)>", args)
            path = re.search(r'"([^"]*)"', args)
            if name in ("socket",):
                target = "socket:"
            elif fd and not (path and name in ("openat", "newfstatat", "statx", "unlinkat", "mkdirat",
                                                "renameat", "renameat2", "linkat", "readlinkat",
                                                "faccessat", "faccessat2")):
                target = fd.group(2)
            elif path:
                target = path.group(1)
            elif fd:
                target = fd.group(2)
            if name in ("openat", "open") and not re.search(r"O_WRONLY|O_RDWR|O_CREAT", args):
                name_kind = name + ":read"
            else:
                name_kind = name
            if scenario.own(target) and (name, n) not in points:
                points[(name, n)] = (target, name_kind)
    main = {name: n for (tid, name), n in counts.items() if tid == str(main_tid)}
    return sorted(((k[0], k[1], v[0], v[1]) for k, v in points.items()), key=lambda p: (p[0], p[1])), main


def spread(points, count):
    """For each call name, up to count of its points: the first, the last
    and evenly between (count 0: every point)."""
    if count <= 0:
        return list(points)
    chosen = []
    for name in sorted({p[0] for p in points}):
        own = [p for p in points if p[0] == name]
        if len(own) <= count:
            chosen += own
        else:
            chosen += [own[round(i * (len(own) - 1) / max(1, count - 1))] for i in range(count)]
    return sorted(set(chosen), key=lambda p: (p[0], p[1]))


def check(scenario, r, errno=None, call=None, deadline=None, killed_ok=False):
    """The problems after a run; empty when it passed."""
    problems = []
    if r.status == "hung":
        problems.append("the program did not end")
    elif r.status != 0 and not (killed_ok and r.status == -signal.SIGKILL):
        problems.append(f"ended with status {r.status}" if r.status > 0 else f"ended by signal {-r.status}")
    if r.driver_error and not killed_ok:
        problems.append("driver: " + r.driver_error)
    killed = killed_ok and r.status == -signal.SIGKILL
    # The pump file, before or after.
    with open(scenario.pumps, "rb") as f:
        now = f.read()
    if now != BEFORE and now != scenario.after:
        problems.append("the pump file is neither as before nor as after: %r" % now[:200])
    for pdf in scenario.final_pdfs():
        if not pages_ok(pdf):
            problems.append(f"{pdf} is not one A4 page")
    if not killed:
        left = scenario.temporaries()
        # A removal that fails leaves the one file it was removing.
        if call is not None and call[0] in ("unlink", "unlinkat") and errno and len(left) <= 1:
            left = []
        for t in left:
            problems.append(f"temporary file left: {t}")
    if killed:
        return problems
    texts = [t for _, t in r.boxes]
    for t in texts:
        for z in ZERO_CAUSES:
            if z in t:
                problems.append(f"the message gives an errno-0 text ({z}): {t!r}")
    # Success, or a message naming the cause.
    if scenario.name == "pump":
        succeeded = not r.boxes and not r.dialog_open and now == scenario.after
    elif scenario.name == "pdf":
        succeeded = any("Stampa effettuata" in t for t in texts) and os.path.exists(scenario.chosen)
    elif scenario.name == "folder":
        succeeded = any("Stampa effettuata" in t for t in texts) and bool(scenario.final_pdfs())
    else:
        # With the print server out of reach the page goes to the documents
        # folder, as a print with no queue does.
        succeeded = any(t == f"Stampa effettuata su '{QUEUE}'" for t in texts) \
            or (any(t.startswith(f"Stampa effettuata su '{scenario.docs}") for t in texts) and bool(scenario.final_pdfs()))
    if scenario.name == "pump" and not r.boxes and (r.dialog_open or now != scenario.after):
        problems.append("the pump was not added and nothing was said")
    if succeeded and len(r.boxes) > 1:
        problems.append("more than one message: %r" % texts)
    if not succeeded:
        if not r.boxes:
            problems.append("nothing was said")
        elif not any(any(n in t for n in scenario.names()) for t in texts):
            problems.append("the message does not name %s: %r" % (" or ".join(scenario.names()), texts))
        # The disk's causes, where the call can meet them on a real disk.
        own_file = call is not None and not call[2].startswith(("socket:", "UNIX:"))
        if errno == "ENOSPC" and own_file and call[3] in CAN_FILL \
                and not any("il disco è pieno" in t for t in texts):
            problems.append("ENOSPC not told as \"il disco è pieno\": %r" % texts)
        if errno == "EACCES" and own_file and call[0] in CAN_REFUSE \
                and not any("accesso negato" in t for t in texts):
            problems.append("EACCES not told as \"accesso negato\": %r" % texts)
        if deadline is not None and not any(re.search(deadline_text(scenario, call), t) for t in texts):
            problems.append("the wait past the deadline is not told as such: %r" % texts)
        if any("Stampa effettuata" in t for t in texts):
            problems.append("success told, but the page is not where it was said: %r" % texts)
    # The action by its deadline. (The process itself is gone only once
    # strace lets the held thread go: a thread held in a call is part of
    # the process until it returns, and strace holds it the whole delay.)
    if deadline is not None and r.status != "hung" and r.action is not None and r.action > deadline + 10:
        problems.append(f"the action took {r.action:.0f} s, past the {deadline} s deadline")
    return problems


def slow_folder(driver, work):
    """No print server, 50 pages of today in the documents folder, and every
    call on the folder and on the names the next page may take held 400 ms
    (strace -P names each path): the page is saved under the next name, or
    the message names the folder; never an errno-0 text."""
    s = Scenario("folder", os.path.join(work, "lento"))
    s.reset()
    stem = os.path.join(s.docs, "Rotamet %s " % date.today().isoformat())
    for n in range(1, 51):
        with open(stem + "%03d.pdf" % n, "wb") as f:
            f.write(b"%PDF-1.4 una pagina di prima\n")
    paths = [s.docs] + [stem + "%03d.pdf" % n for n in range(1, 61)]
    traced = []
    for p in paths:
        traced += ["-P", p]
    r = run_once(s, driver, traced + ["-e", "trace=all", "-e", "inject=all:delay_enter=400000"], limit=120)
    if r.untraced:
        log("SKIP: strace cannot attach to a running program here (ptrace)")
        return 77
    texts = [t for _, t in r.boxes]
    log(f"slow documents folder: status {r.status} after {r.seconds:.0f} s: {texts}")
    problems = []
    if r.status != 0:
        problems.append(f"ended with {r.status}")
    saved = stem + "051.pdf"
    if any(t == f"Stampa effettuata su '{saved}'" for t in texts):
        if not pages_ok(saved):
            problems.append(f"{saved} is not one A4 page")
    elif not any(f"La cartella '{s.docs}' non risponde" in t or f"La cartella '{s.docs}' non è raggiungibile" in t
                 for t in texts):
        problems.append("neither saved as %s nor a message naming the folder: %r" % (saved, texts))
    if any("server di stampa" in t for t in texts):
        problems.append("a slow folder is blamed on the print server: %r" % texts)
    for t in texts:
        for z in ZERO_CAUSES:
            if z in t:
                problems.append(f"the message gives an errno-0 text ({z}): {t!r}")
    for t in s.temporaries():
        problems.append(f"temporary file left: {t}")
    for p in problems:
        log("FAIL slow documents folder: " + p)
    if not problems:
        log("PASS")
    return not problems


def start_cups(base):
    if os.geteuid() != 0 or not os.path.exists(CUPSD):
        return None
    d = os.path.join(base, "cups")
    os.makedirs(d)
    p = subprocess.run([CUPSD, "start", d, QUEUE], capture_output=True, text=True)
    if p.returncode != 0:
        log(f"no private print server ({p.returncode}): {p.stderr.strip()}")
        return None
    with open(os.path.join(d, "cache", "job.cache")) as f:
        m = re.search(r"NextJobId (\d+)", f.read())
    return d, int(m.group(1)) if m else None


def remove_cups_pages(first):
    """The pages cups-pdf wrote for this server's jobs, and no other file."""
    if first is None:
        return
    home = os.path.expanduser("~root")
    out = os.path.join(home, "PDF")
    try:
        with open("/etc/cups/cups-pdf.conf") as f:
            for line in f:
                m = re.match(r"\s*Out\s+(\S+)", line)
                if m:
                    out = m.group(1).replace("${HOME}", home)
    except OSError:
        pass
    if not os.path.isdir(out):
        return
    jobs = {str(n) for n in range(first, first + 5000)}
    for f in os.listdir(out):
        m = re.search(r"job_(\d+)\.pdf$|__(\d+)\.pdf$", f)
        if m and (m.group(1) or m.group(2)) in jobs:
            os.remove(os.path.join(out, f))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--driver", required=True)
    ap.add_argument("--scenarios", default="pump,pdf,folder,queue")
    ap.add_argument("--points", type=int, default=2,
                    help="calls of each name failed in turn per action, spread over them (0: all)")
    ap.add_argument("--errnos", default=",".join(ERRNOS))
    ap.add_argument("--delays", type=int, default=1, help="calls delayed past the deadline per action")
    ap.add_argument("--kills", type=int, default=4, help="kills per saving action")
    ap.add_argument("--seed", type=int, default=31)
    ap.add_argument("--keep", action="store_true", help="keep the work folder")
    ap.add_argument("--slow-folder", action="store_true",
                    help="only the slow documents folder: 50 pages of today, 400 ms a check")
    args = ap.parse_args()
    if shutil.which("strace") is None or shutil.which("pdfinfo") is None:
        log("SKIP: strace or pdfinfo is missing (scripts/packages.txt)")
        return 77
    errnos = args.errnos.split(",")
    rng = random.Random(args.seed)
    work = tempfile.mkdtemp(prefix="rotamet-faults.")
    cups_dir = None
    if args.slow_folder:
        try:
            ok = slow_folder(args.driver, work)
            return ok if ok == 77 else (0 if ok else 1)
        finally:
            if not args.keep:
                shutil.rmtree(work, ignore_errors=True)
    failures = []
    holders = []
    counting = threading.Lock()
    figures = {"failed": 0, "survived": 0, "delays": 0, "delays_survived": 0,
               "kills": 0, "kills_survived": 0, "leftovers": 0, "killed": 0}
    try:
        names = args.scenarios.split(",")
        if "queue" in names:
            started = start_cups(work)
            cups_dir, first_job = started if started else (None, None)
            if not cups_dir:
                log("SKIP queue: a private print server needs root, cups and cups-pdf")
                names.remove("queue")
        for name in names:
            s = Scenario(name, os.path.join(work, name),
                         cups=os.path.join(cups_dir, "cups.sock") if name == "queue" else None)
            # 1. The clean run, traced.
            s.reset()
            trace = os.path.join(work, name + ".trace")
            clean = run_once(s, args.driver, ["-y", "-e", "trace=" + CALLS], trace)
            if clean.untraced:
                log("SKIP: strace cannot attach to a running program here (ptrace)")
                return 77
            with open(s.pumps, "rb") as f:
                s.after = f.read()
            problems = check(s, clean)
            if problems or clean.boxes and name == "pump":
                log(f"FAIL {name}: the clean run: {problems} {clean.boxes}\n{clean.output}")
                failures.append((name, "clean run", problems))
                continue
            points, main_calls = call_points(s, trace, clean.pid)
            chosen = spread(points, args.points)
            log(f"{name}: {len(points)} calls on its own files and sockets "
                f"({', '.join(sorted({p[0] for p in points}))}); failing {len(chosen)} of them with {', '.join(errnos)}")
            # 3. Delays past the deadline: calls by path and connections, on
            # the action's own files and sockets, made off the window's
            # thread (strace counts each thread's calls on its own: the n-th
            # call of the window's thread must not be one of them, or the
            # window itself would be held). They mostly wait, so they run
            # beside the rest, in a folder of their own.
            slow = [p for p in points
                    if p[0] in ("openat", "newfstatat", "statx", "mkdir", "rename", "renameat2", "link",
                                "linkat", "unlink", "connect", "fsync", "fdatasync")
                    and p[1] > main_calls.get(p[0], 0) + 2]
            held = Scenario(name, s.base + "-tenuto", cups=s.cups)
            held.after = s.after

            def hold(sc, calls, name=name, base=s.base):
                # Past every deadline of the program (the longest is 30 s).
                delay = 35 * 1000000
                for call in calls:
                    sc.reset()
                    r = run_once(sc, args.driver,
                                 ["-e", f"trace={call[0]}", "-e",
                                  f"inject={call[0]}:delay_enter={delay}:when={call[1]}"],
                                 limit=90)
                    # The held call's path names the folder of this run.
                    problems = check(sc, r, call=(call[0], call[1], call[2].replace(base, sc.base), call[3]),
                                     deadline=DEADLINES[name])
                    label = f"{name}: {call[0]} #{call[1]} ({call[2]}) held 35 s"
                    with counting:
                        figures["delays"] += 1
                        if problems:
                            failures.append((label, problems, r.boxes))
                            log(f"FAIL {label}: " + "; ".join(problems))
                        else:
                            figures["delays_survived"] += 1
                            log(f"ok {label} (action {r.action} s, ended at {r.seconds:.0f} s): "
                                f"{[t for _, t in r.boxes]}")

            holding = threading.Thread(target=hold, args=(held, rng.sample(slow, min(args.delays, len(slow)))))
            holding.start()
            holders.append(holding)
            # 2. Each call failed in turn.
            for call in chosen:
                for e in errnos:
                    s.reset()
                    r = run_once(s, args.driver,
                                 ["-e", f"trace={call[0]}", "-e", f"inject={call[0]}:error={e}:when={call[1]}"])
                    problems = check(s, r, errno=e, call=call)
                    label = f"{name}: {call[0]} #{call[1]} ({call[2]}) {e}"
                    counting.acquire()
                    figures["failed"] += 1
                    if problems:
                        failures.append((label, problems, r.boxes))
                        told = " | ".join(t for _, t in r.boxes)
                        log(f"FAIL {label}: " + "; ".join(problems)
                            + ("" if "not told" in " ".join(problems) else f" [told: {told[:300]!r}]"))
                    else:
                        figures["survived"] += 1
                    counting.release()
            # 4. Killed at seeded random calls while saving.
            if name in ("pump", "pdf", "folder"):
                for call in rng.sample(points, min(args.kills, len(points))):
                    s.reset()
                    r = run_once(s, args.driver,
                                 ["-e", f"trace={call[0]}", "-e", f"inject={call[0]}:signal=SIGKILL:when={call[1]}"])
                    figures["kills"] += 1
                    label = f"{name}: killed at {call[0]} #{call[1]} ({call[2]})"
                    problems = check(s, r, call=call, killed_ok=True)
                    if r.status == -signal.SIGKILL:
                        figures["killed"] += 1
                    left = s.temporaries()
                    figures["leftovers"] += len(left)
                    # The next normal run succeeds (another code: the first
                    # may be in the file already).
                    again = run_once(s, args.driver, code="0445010802")
                    if s.name == "pump":
                        with open(s.pumps, "rb") as f:
                            if b"0445010802;37,35;46,95;110" not in f.read() or again.boxes:
                                problems.append("the next run did not add its pump: %r" % again.boxes)
                    elif not any("Stampa effettuata" in t for _, t in again.boxes):
                        problems.append("the next run did not save its page: %r" % again.boxes)
                    if again.status != 0:
                        problems.append(f"the next run ended with {again.status}")
                    if problems:
                        failures.append((label, problems, r.boxes))
                        log(f"FAIL {label}: " + "; ".join(problems))
                    else:
                        figures["kills_survived"] += 1
                        log(f"ok {label}: status {r.status}, {len(left)} temporary file(s) left"
                            + (", a stale lock" if s.stale_lock() else ""))
        for holding in holders:
            holding.join()
    finally:
        if cups_dir:
            subprocess.run(["cancel", "-a"], env=dict(os.environ, CUPS_SERVER=os.path.join(cups_dir, "cups.sock")),
                           capture_output=True)
            subprocess.run([CUPSD, "stop", cups_dir], capture_output=True)
            remove_cups_pages(first_job)
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    log(f"faults: {figures['failed']} calls failed in turn, {figures['survived']} survived; "
        f"{figures['delays']} held past a deadline, {figures['delays_survived']} survived; "
        f"{figures['kills']} kills ({figures['killed']} reached), {figures['kills_survived']} survived, "
        f"{figures['leftovers']} temporary file(s) left by killed runs")
    if failures:
        log(f"FAIL: {len(failures)} case(s)")
        return 1
    log("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
