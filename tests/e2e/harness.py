"""End-to-end harness: the real tolvane binary under Xvfb, with a private home, private D-Bus buses,
fake services on loopback, and no capability to set the clock. Run the test scripts through
in_sandbox.sh, which provides the private network and hosts file.

    with Sandbox(binary, artifacts) as box:
        box.seed_settings({...})
        box.start_service(["python3", ".../feed_server.py", ...])
        program = box.start_program()
        window = box.wait_for_window("Ann's Tolvane Version 1.0")
        box.screenshot(window, "main")

Sandbox(..., accessibility=True) puts an AT-SPI bus on the private session bus and turns Qt's
accessibility on, so box.accessible_tree() shows what a screen reader gets, and Sandbox(...,
display=False) starts no X server at all.
"""

import json
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
FEED_SERVER = os.path.join(SOURCE_ROOT, "tests", "fakes", "feed_server.py")
ATSPI_TREE = os.path.join(HERE, "atspi_tree.py")
ATSPI_BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

DBUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
    <allow user="*"/>
  </policy>
</busconfig>
"""


class Failure(Exception):
    pass


def wait_until(predicate, timeout, message):
    """Polls `predicate` until it holds; fails with `message` after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return
        time.sleep(0.1)
    raise Failure(message)


def nodes(tree):
    """Every node of an AT-SPI tree (as Sandbox.accessible_tree gives it), depth first."""
    for node in tree:
        yield node
        yield from nodes(node["children"])


def read_line(process, timeout, message):
    """The next line a helper process prints, within `timeout` seconds."""
    ready, _, _ = select.select([process.stdout], [], [], timeout)
    check(bool(ready), message)
    return process.stdout.readline().strip()


def check(condition, message):
    if not condition:
        raise Failure(message)


class Sandbox:
    def __init__(self, binary, artifacts, packs=True, installed=False, user=None, display=True, accessibility=False):
        """installed: run `binary` where it lies (an installed program) instead of a copy in a program
        folder; user: a numeric uid to run the program as, instead of root; display: start Xvfb and a
        window manager; accessibility: an AT-SPI bus."""
        if os.environ.get("TOLVANE_IN_SANDBOX") != "1":
            raise Failure("run this test through tests/e2e/in_sandbox.sh")
        self.binary = binary
        self.installed = installed
        self.user = user
        self.artifacts = artifacts
        self.with_packs = packs
        self.with_display = display
        self.accessibility = accessibility
        self.processes = []
        self.root = tempfile.mkdtemp(prefix="tolvane-e2e-")
        self.home = os.path.join(self.root, "home")
        self.app_dir = os.path.join(self.root, "app")
        self.env = {}

    # --- set-up -------------------------------------------------------------------------------------
    def __enter__(self):
        try:
            os.makedirs(self.artifacts, exist_ok=True)
            self._make_home()
            self._make_program_folder()
            if self.with_display:
                self._start_display()
            self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_bus("session")
            self.env["DBUS_SYSTEM_BUS_ADDRESS"] = self._start_bus("system")
            if self.accessibility:
                self._start_accessibility_bus()
        except BaseException:
            self.__exit__(None, None, None)  # nothing started may outlive a failed set-up
            raise
        return self

    def __exit__(self, *exc):
        self._stop(self.processes)
        shutil.rmtree(self.root, ignore_errors=True)
        return False

    @staticmethod
    def _stop(processes):
        for process in reversed(processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def _make_home(self):
        folders = {"HOME": "", "XDG_CONFIG_HOME": ".config", "XDG_DATA_HOME": ".local/share",
                   "XDG_CACHE_HOME": ".cache", "XDG_RUNTIME_DIR": "run"}
        base = {k: v for k, v in os.environ.items()
                if k in ("PATH", "LANG", "LC_ALL", "TZ", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")}
        base.setdefault("PATH", "/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin")
        for name, sub in folders.items():
            path = os.path.join(self.home, sub)
            os.makedirs(path, exist_ok=True)
            base[name] = path
        os.chmod(base["XDG_RUNTIME_DIR"], 0o700)
        if self.user is not None:
            os.chmod(self.root, 0o755)
            for folder, _, _ in os.walk(self.home):
                os.chown(folder, self.user, self.user)
        base["QT_QPA_PLATFORM"] = "xcb"
        base["LANG"] = "en_US.UTF-8"
        base["TZ"] = os.environ.get("TZ", "UTC")
        self.env = base

    def _make_program_folder(self):
        if self.installed:
            self.program = self.binary
            return
        self.program = os.path.join(self.app_dir, "tolvane")
        os.makedirs(self.app_dir)
        shutil.copy2(self.binary, os.path.join(self.app_dir, "tolvane"))
        if self.with_packs:
            packs = os.path.join(SOURCE_ROOT, "assets", "packs")
            for name in os.listdir(packs):
                source = os.path.join(packs, name)
                target = os.path.join(self.app_dir, name)
                (shutil.copytree if os.path.isdir(source) else shutil.copy2)(source, target)

    def _start_display(self, attempts=3):
        # A window manager that starts too early can miss a display still coming up and quit (or sit
        # waiting); so wait for the display to answer first, and start over a few times, a second
        # apart (three back-to-back tries have been seen to fail within a second), before giving up.
        for attempt in range(1, attempts + 1):
            started = len(self.processes)
            try:
                self._start_x_server()
                self._start_window_manager()
                return
            except Failure as failure:
                print(f"display attempt {attempt} of {attempts}: {failure}")
                self._print_log("xvfb.log")
                self._print_log("openbox.log")
                self._stop(self.processes[started:])
                del self.processes[started:]
                if attempt == attempts:
                    raise
                time.sleep(1)

    def _start_x_server(self):
        # Xvfb picks a free display itself and writes its number to the pipe.
        read_end, write_end = os.pipe()
        with open(os.path.join(self.artifacts, "xvfb.log"), "a") as log:
            xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-dpi", "96"],
                stdout=log, stderr=log, pass_fds=(write_end,))
        self.processes.append(xvfb)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            ready, _, _ = select.select([pipe], [], [], 20)
            number = pipe.readline().strip() if ready else ""
        check(number.isdigit(), f"Xvfb did not start (exit status {xvfb.poll()})")
        self.env["DISPLAY"] = f":{number}"
        wait_until(lambda: self.x("xprop", "-root", "-len", "0", timeout=5).returncode == 0,
                   20, f"display :{number} does not answer (Xvfb exit status {xvfb.poll()})")

    def _start_window_manager(self):
        # A light window manager, so windows can be activated and get the keyboard as on a desktop.
        with open(os.path.join(self.artifacts, "openbox.log"), "a") as log:
            openbox = subprocess.Popen(["openbox", "--sm-disable"], env=dict(self.env), stdout=log, stderr=log)
        self.processes.append(openbox)

        def running():
            check(openbox.poll() is None, f"the window manager quit (exit status {openbox.returncode})")
            return "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", timeout=5).stdout
        wait_until(running, 20, "the window manager did not start")

    def _print_log(self, name):
        path = os.path.join(self.artifacts, name)
        if os.path.exists(path):
            lines = open(path, errors="replace").read().splitlines()[-15:]
            print(f"--- last lines of {name}:", *lines, sep="\n")

    def _start_bus(self, name):
        socket = os.path.join(self.root, f"{name}-bus")
        config = os.path.join(self.root, f"{name}-bus.conf")
        with open(config, "w") as f:
            f.write(DBUS_CONFIG.format(socket=socket))
        self.processes.append(subprocess.Popen(["dbus-daemon", "--nofork", f"--config-file={config}"],
                                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_until(lambda: os.path.exists(socket), 20, f"the {name} bus did not start")
        return f"unix:path={socket}"

    def _start_accessibility_bus(self):
        # The accessibility bus comes from at-spi2-core's launcher, which announces it on the session
        # bus; Qt then offers its windows there without waiting for a screen reader to ask.
        with open(os.path.join(self.artifacts, "atspi.log"), "a") as log:
            launcher = subprocess.Popen([ATSPI_BUS_LAUNCHER, "--launch-immediately", "--a11y=1"],
                                        env=dict(self.env), stdout=log, stderr=log)
        self.processes.append(launcher)

        def announced():
            check(launcher.poll() is None, f"the AT-SPI bus launcher quit (exit status {launcher.returncode})")
            reply = subprocess.run(["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path",
                                    "/org/a11y/bus", "--method", "org.a11y.Bus.GetAddress"],
                                   env=self.env, capture_output=True, text=True, timeout=10)
            return reply.returncode == 0 and "unix:" in reply.stdout
        wait_until(announced, 20, "the AT-SPI bus was not announced")
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"

    def accessible_tree(self, timeout=60):
        """The program's windows as a screen reader sees them over AT-SPI: a list of nested dicts with
        role, name, description, states, relations (type -> target names) and children."""
        check(self.accessibility, "the sandbox has no AT-SPI bus (Sandbox(..., accessibility=True))")
        try:
            # Debian's interpreter: python3-pyatspi installs there.
            result = subprocess.run(["/usr/bin/python3", ATSPI_TREE, "tolvane"], env=self.env, capture_output=True,
                                    text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not answer AT-SPI in time")
        check(result.returncode == 0, f"AT-SPI query failed: {result.stderr}")
        return json.loads(result.stdout)

    def start_status_notifier_watcher(self):
        """A desktop that hosts StatusNotifierItems (the fake watcher named by TOLVANE_SNI_WATCHER);
        returns it: status_notifier_item() reads the bus name of the next item that registers."""
        path = os.environ.get("TOLVANE_SNI_WATCHER", "")
        check(os.path.exists(path), "TOLVANE_SNI_WATCHER must name the fake StatusNotifierWatcher")
        watcher = subprocess.Popen([path], env=self.env, stdout=subprocess.PIPE, text=True)
        self.processes.append(watcher)
        check(read_line(watcher, 20, "the watcher did not start") == "ready", "the watcher did not start")
        return watcher

    @staticmethod
    def status_notifier_item(watcher):
        return read_line(watcher, 20, "no StatusNotifierItem registered with the host")

    def item_call(self, item, method, *args):
        """Calls the StatusNotifierItem `item` as its host does."""
        return self.x("gdbus", "call", "--session", "--dest", item, "--object-path", "/StatusNotifierItem",
                      "--method", method, *args)

    # --- services and settings ----------------------------------------------------------------------
    def start_service(self, command, ready_port=None, ready_host="127.0.0.1"):
        """Starts a fake service; waits until it accepts connections on ready_port when given."""
        process = subprocess.Popen(command, env=dict(os.environ, **self.env), stdout=subprocess.DEVNULL,
                                   stderr=open(os.path.join(self.artifacts, "service.log"), "a"))
        self.processes.append(process)
        if ready_port:
            import socket

            def accepting():
                try:
                    socket.create_connection((ready_host, ready_port), timeout=0.2).close()
                    return True
                except OSError:
                    return False
            wait_until(accepting, 20, f"service {command} did not come up")
        return process

    @staticmethod
    def test_ca_server_files():
        """The certificate and key of the sandbox's throwaway CA's server certificate, for fake https
        services (in_sandbox.sh makes them when TOLVANE_TEST_CA names the hosts)."""
        folder = os.environ.get("TOLVANE_TEST_CA_DIR", "")
        check(os.path.isfile(os.path.join(folder, "server.pem")), "run with TOLVANE_TEST_CA set: no test CA here")
        return os.path.join(folder, "server.pem"), os.path.join(folder, "server.key")

    def seed_settings(self, values):
        """Writes the settings file as the program keeps it: <config>/Orlentis/Tolvane.conf."""
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "Orlentis")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "Tolvane.conf")
        with open(path, "w", encoding="utf-8") as f:
            f.write("[General]\n")
            for name, value in values.items():
                f.write(f"{name.replace(' ', '%20')}={value}\n")
        if self.user is not None:
            for item in (os.path.dirname(folder), folder, path):
                os.chown(item, self.user, self.user)

    def settings_file(self):
        return os.path.join(self.env["XDG_CONFIG_HOME"], "Orlentis", "Tolvane.conf")

    # --- the program --------------------------------------------------------------------------------
    def start_program(self, log_name="tolvane"):
        """Starts the real binary without the capability to set the clock."""
        log = open(os.path.join(self.artifacts, f"{log_name}.log"), "a")
        as_user = [] if self.user is None else [f"--reuid={self.user}", f"--regid={self.user}", "--clear-groups"]
        process = subprocess.Popen(["setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", *as_user,
                                    self.program],
                                   env=self.env, cwd=self.home, stdout=log, stderr=log)
        self.processes.append(process)
        return process

    def run_program(self, without=(), timeout=60):
        """Runs the real binary to its end with the environment variables named in `without` removed;
        returns the completed process with its output."""
        env = {k: v for k, v in self.env.items() if k not in without}
        try:
            return subprocess.run(["setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", self.program],
                                  env=env, cwd=self.home, capture_output=True, text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout} s")

    def window_class(self, window):
        """The window's WM_CLASS as (instance, class)."""
        out = self.x("xprop", "-id", window, "WM_CLASS").stdout
        names = out.split("=", 1)[1].strip().split(", ") if "=" in out else []
        return tuple(name.strip('"') for name in names)

    def x(self, *args, timeout=10):
        """Runs an X client; one that does not answer in time counts as a failed call."""
        try:
            return subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            return subprocess.CompletedProcess(list(args), returncode=124, stdout="", stderr="timed out")

    def find_windows(self, name):
        result = self.x("xdotool", "search", "--onlyvisible", "--name", name)
        return [line for line in result.stdout.split() if line]

    def wait_for_window(self, name, timeout=60):
        found = []

        def present():
            found[:] = self.find_windows(name)
            return bool(found)
        wait_until(present, timeout, f"no window named {name!r} appeared")
        return found[0]

    def screenshot(self, window, name):
        path = os.path.join(self.artifacts, f"{name}.png")
        result = self.x("import", "-window", window if window else "root", path, timeout=30)
        check(result.returncode == 0, f"screenshot failed: {result.stderr}")
        return path

    def key(self, window, *keys):
        self.x("xdotool", "windowactivate", "--sync", window)
        self.x("xdotool", "key", "--clearmodifiers", *keys)

    def type_text(self, window, text):
        self.x("xdotool", "windowactivate", "--sync", window)
        self.x("xdotool", "type", "--delay", "20", text)


def run(test):
    """Runs test() and prints a closing line CTest and people can read."""
    try:
        test()
    except Failure as failure:
        print(f"FAIL: {failure}")
        print("0 passed, 1 failed")
        raise SystemExit(1)
    print("1 passed, 0 failed")
