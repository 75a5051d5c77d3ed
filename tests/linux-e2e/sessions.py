"""The test machine's side of the story: a private system bus with a mock
logind, Unix users, and a desktop session for each user (virtual screen,
window manager and panel with a notification area, session bus, the
accessibility bus, a mock GNOME session manager), each session's processes
in one process group, as a log-in gives them."""

import datetime
import json
import os
import pwd
import shlex
import shutil
import signal
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RUN = '/run/quotamin-e2e'
FAKETIME_LIBRARY = '/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1'
# The programs' clock runs this many times faster than the real one, from
# 08:00 of a day two days ahead (so that no run of the test crosses midnight,
# and their log lines are told from those of other programs on the machine).
CLOCK_RATE = 20
PROGRAM_DAY = datetime.date.today() + datetime.timedelta(days=2)
# Debian's Python, which has python-dbusmock and pyatspi.
PYTHON = '/usr/bin/python3'
AUTOSTART = '/etc/xdg/autostart/quotamin.desktop'


class Failure(Exception):
    pass


def wait_for(what, condition, timeout=20.0, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure('timed out waiting for ' + what)
        time.sleep(interval)


def name_owned(address, name):
    result = subprocess.run(
        ['dbus-send', '--bus=' + address, '--print-reply', '--dest=org.freedesktop.DBus',
         '/org/freedesktop/DBus', 'org.freedesktop.DBus.NameHasOwner', 'string:' + name],
        capture_output=True, text=True, env=dict(os.environ))
    return 'boolean true' in result.stdout


def calls_in(log_path):
    """The method calls a dbusmock recorded: 'Method args' per call."""
    try:
        with open(log_path) as log:
            lines = log.read().splitlines()
    except FileNotFoundError:
        return []
    # A line reads "<time stamp> <method> <arguments>".
    return [line.split(' ', 1)[1] for line in lines if ' ' in line]


class SystemBus:
    """A private system bus with python-dbusmock's logind on it."""

    def __init__(self):
        self.socket = RUN + '/system_bus_socket'
        self.address = 'unix:path=' + self.socket
        self.log = RUN + '/logind.log'
        self.processes = []

    def start(self):
        self.processes.append(subprocess.Popen(
            ['dbus-daemon', '--config-file=' + HERE + '/system-bus.conf', '--nofork',
            ], stdout=subprocess.DEVNULL))
        wait_for('the private system bus', lambda: os.path.exists(self.socket))
        os.chmod(self.socket, 0o777)
        env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address)
        self.processes.append(subprocess.Popen(
            [PYTHON, '-m', 'dbusmock', '--system', '--template', 'logind', '-l',
             self.log], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for('the mock logind on the system bus',
                 lambda: name_owned(self.address, 'org.freedesktop.login1'))

    def calls(self):
        return calls_in(self.log)

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                process.wait(10)


class Session:
    """One user's desktop session."""

    def __init__(self, user, system_bus, screen):
        self.user = user
        self.system_bus = system_bus
        self.screen = screen
        self.account = pwd.getpwnam(user)
        self.uid = self.account.pw_uid
        self.runtime = '/run/user/%d' % self.uid
        self.work = RUN + '/' + user
        self.bus_address = 'unix:path=' + self.runtime + '/bus'
        self.manager_log = self.work + '/session-manager.log'
        self.group = None
        self.processes = {}
        self.program = None
        self.display = None

    def _environment(self):
        return {
            'HOME': self.account.pw_dir, 'USER': self.user, 'LOGNAME': self.user,
            'SHELL': self.account.pw_shell, 'PATH': '/usr/local/bin:/usr/bin:/bin',
            'LANG': 'C.UTF-8', 'XDG_RUNTIME_DIR': self.runtime,
            'XDG_SESSION_ID': 'e2e-' + self.user,
            'DBUS_SESSION_BUS_ADDRESS': self.bus_address,
            'DBUS_SYSTEM_BUS_ADDRESS': self.system_bus.address,
            'QT_ACCESSIBILITY': '1', 'QT_LINUX_ACCESSIBILITY_ALWAYS_ON': '1',
            **({'DISPLAY': self.display} if self.display else {}),
        }

    def _start(self, name, command, **extra):
        options = dict(user=self.uid, group=self.account.pw_gid,
                       extra_groups=os.getgrouplist(self.user, self.account.pw_gid),
                       env=self._environment(), cwd=self.account.pw_dir,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=open(self.work + '/' + name + '.err', 'w'))
        if self.group is None:
            options['process_group'] = 0
        else:
            options['process_group'] = self.group
        options.update(extra)
        process = subprocess.Popen(command, **options)
        self.processes[name] = process
        if self.group is None:
            self.group = process.pid
        return process

    def start(self):
        try:
            self._start_all()
        except Failure as failure:
            raise Failure("%s; what the session's programs said: %s" % (failure, self.errors()))

    def errors(self):
        said = {}
        for name in self.processes:
            try:
                with open(self.work + '/' + name + '.err') as err:
                    said[name] = err.read()[-600:]
            except OSError:
                pass
        return said

    def _start_all(self):
        for path in (self.runtime, self.work):
            os.makedirs(path, exist_ok=True)
            os.chown(path, self.uid, self.account.pw_gid)
            os.chmod(path, 0o700)
        self.display = ':%d' % self.screen
        self._start('xvfb', ['Xvfb', self.display, '-screen', '0', '1024x768x24', '-nolisten',
                             'tcp'])
        # Ready when it answers, not when its socket is there.
        wait_for('the virtual screen ' + self.display, lambda: subprocess.run(
            ['xprop', '-display', self.display, '-root', '_NET_ACTIVE_WINDOW'],
            capture_output=True).returncode == 0)
        self._start('session-bus', ['dbus-daemon', '--session', '--nofork',
                                    '--address=' + self.bus_address])
        wait_for('the session bus', lambda: os.path.exists(self.runtime + '/bus'))
        self._start('accessibility-bus', ['/usr/libexec/at-spi-bus-launcher',
                                          '--launch-immediately'])
        # The panel docks to the window manager's screen edge: start it once that
        # is up. (Openbox now and then never comes up on a busy machine: it gets
        # two more tries.)
        for attempt in range(3):
            manager = self._start('window-manager', ['openbox', '--sm-disable'])
            try:
                wait_for('the window manager', lambda: 'window id' in subprocess.run(
                    ['xprop', '-display', self.display, '-root', '_NET_SUPPORTING_WM_CHECK'],
                    capture_output=True, text=True).stdout, timeout=15)
                break
            except Failure:
                if attempt == 2:
                    raise
                manager.kill()
                manager.wait()
        self._start('panel', ['tint2'])
        self._start('session-manager', [
            PYTHON, '-m', 'dbusmock', '--template', HERE + '/gnome_session.py', '-p',
            json.dumps({'session_group': self.group}), '-l', self.manager_log])
        wait_for(self.user + "'s session bus names",
                 lambda: self._owned('org.a11y.Bus') and self._owned('org.gnome.SessionManager'))
        wait_for("tint2's notification area", self._tray_is_there, timeout=60)

    def _owned(self, name):
        return subprocess.run(
            ['runuser', '-u', self.user, '--', 'dbus-send', '--bus=' + self.bus_address,
             '--print-reply', '--dest=org.freedesktop.DBus', '/org/freedesktop/DBus',
             'org.freedesktop.DBus.NameHasOwner', 'string:' + name],
            capture_output=True, text=True).stdout.find('boolean true') >= 0

    def _tray_is_there(self):
        tree = subprocess.run(['xwininfo', '-display', self.display, '-root', '-tree'],
                              capture_output=True, text=True).stdout
        return '("tint2" "Tint2")' in tree

    def log_in_program(self):
        """Starts the autostart entry's command as the session's log-in does,
        under the sped-up clock."""
        command = None
        with open(AUTOSTART) as entry:
            for line in entry:
                if line.startswith('Exec='):
                    command = shlex.split(line[len('Exec='):].strip())
        if not command:
            raise Failure('no Exec line in ' + AUTOSTART)
        start = PROGRAM_DAY.isoformat() + ' 08:00:00'
        env = dict(self._environment(), LD_PRELOAD=FAKETIME_LIBRARY,
                   FAKETIME='@%s x%d' % (start, CLOCK_RATE))
        self.program = self._start('quotamin', command, env=env)
        return self.program

    def processes_alive(self):
        return [name for name, process in self.processes.items() if process.poll() is None]

    def stop(self):
        if self.group is not None:
            try:
                os.killpg(self.group, signal.SIGTERM)
            except ProcessLookupError:
                pass
            for process in self.processes.values():
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(self.runtime, ignore_errors=True)
