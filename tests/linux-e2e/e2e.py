"""The installed Linux program in two users' desktop sessions, driven from
outside through the accessibility bus and checked on the files it keeps and
the calls it makes to the session manager and logind. A story in a table of
steps, each building on the ones before; the first step that fails ends the
run. Run as root, with the package installed:

    e2e.py <screenshot directory>
"""

import collections
import datetime
import grp
import json
import os
import pwd
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sessions  # noqa: E402
from sessions import Failure, wait_for  # noqa: E402

DIRECTORY = '/var/lib/quotamin'
PASSWORD_FILE = DIRECTORY + '/qm-password.dat'
LOG = '/var/log/quotamin.log'
USERS = ('qmalice', 'qmbob')
START_LINE = '==================== OnInitDialog ======================'
CAPTION = 'quotamin'

DISABLED = '\r\nQuota-min is disabled.'
END = '\r\nSorry, no more time left - logging off right now'


def status_of(minutes):
    if minutes == 5:
        return '\r\nWARNING!!! You have just 5 minutes remaining before you will be logged off'
    if minutes == 1:
        return '\r\nPANIC!!! You have only 1 minutes remaining - please log off now'
    return '\r\nYou still have %d minutes remaining before you will be logged off' % minutes


KEY = '7C3A9E15B04F6D28'


def encipher(text):
    data = bytearray(text.encode('cp1252'))
    for i in range(1, len(data)):
        data[i] = (data[i] + int(KEY[(data[0] + i) % 16], 16)) % 256
    return bytes(data)


def password_file(text):
    return bytes([len(text)]) + encipher(text)


def settings(enabled, allowed, remaining, logoff):
    day = sessions.PROGRAM_DAY.day
    return b''.join(v.to_bytes(4, 'little', signed=True)
                    for v in (enabled, allowed, remaining, logoff, day))


def read_bytes(path):
    try:
        with open(path, 'rb') as file:
            return file.read()
    except FileNotFoundError:
        return None


def expect(condition, what):
    if not condition:
        raise Failure(what)


def expect_soon(what, get, expected, timeout=10.0):
    deadline = time.monotonic() + timeout
    while True:
        seen = get()
        if seen == expected:
            return seen
        if time.monotonic() > deadline:
            raise Failure('%s: saw %r, expected %r' % (what, seen, expected))
        time.sleep(0.05)


class Hand:
    """The agent in one user's session."""

    def __init__(self, session):
        self.session = session
        env = session._environment()
        self.process = subprocess.Popen(
            [sessions.PYTHON, os.path.join(sessions.HERE, 'agent.py')], user=session.uid,
            group=session.account.pw_gid, env=env, cwd='/', start_new_session=True,
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

    def ask(self, op, **request):
        self.process.stdin.write(json.dumps(dict(request, op=op)) + '\n')
        self.process.stdin.flush()
        line = self.process.stdout.readline()
        if not line:
            raise Failure('the accessibility agent of %s ended' % self.session.user)
        answer = json.loads(line)
        if 'error' in answer:
            raise Failure('%s %s: %s' % (op, request, answer['error']))
        return answer['ok']

    def soon(self, what, op, timeout=10.0, **request):
        """Asks until the answer comes without an error."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                return self.ask(op, **request)
            except Failure as failure:
                if time.monotonic() > deadline:
                    raise Failure('%s: %s' % (what, failure))
            time.sleep(0.05)

    def stop(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class LogBook:
    """Checks the shared log: every line "MM/DD/YY hh:mm:ss: text\\r\\n" of
    the programs' day, and the texts an interleaving of what
    each running copy of the program is expected to write. Between its
    expected lines a copy may write its minute ticks, "OnTimer elapsed=<n>"
    (n counting on from 1 since its start) each followed by "TrayMessage, 1"."""

    LINE = re.compile(r'(\d\d)/(\d\d)/(\d\d) (\d\d):(\d\d):(\d\d): ([^\r\n]*)')

    def __init__(self):
        self.checked = 0
        self.expected = {}   # copy -> its expected texts, in order
        self.states = {()}   # per copy (index of the next expected text, ticks, in a tick)
        self.copies = []
        self.foreign = 0

    def start(self, copy):
        self.copies.append(copy)
        self.expected[copy] = []
        self.states = {state + ((0, 0, False),) for state in self.states}

    def expect(self, copy, *texts):
        self.expected[copy].extend(texts)

    def ticks(self, copy):
        """The ticks the copy has written, in every reading of the log so far."""
        index = self.copies.index(copy)
        return sorted({state[index][1] for state in self.states})

    def _texts(self):
        data = read_bytes(LOG) or b''
        expect(data == b'' or data.endswith(b'\r\n'), 'the log ends with a line end: %r' % data[-80:])
        texts = []
        day = sessions.PROGRAM_DAY.strftime('%m/%d/%y')
        # Other programs of this machine (tests of a build) may write the same log
        # on the real clock, of today: those lines are not the story's.
        today = datetime.date.today().strftime('%m/%d/%y')
        self.foreign = 0
        for line in data.decode('latin-1').split('\r\n')[:-1]:
            parts = self.LINE.fullmatch(line)
            expect(parts is not None and int(parts[4]) <= 23,
                   'a log line with its time stamp: %r' % line)
            stamp = '%s/%s/%s' % (parts[1], parts[2], parts[3])
            if stamp == today:
                self.foreign += 1
                continue
            expect(stamp == day, "a log line of the programs' day (%s): %r" % (day, line))
            texts.append(parts[7])
        return texts

    def _step(self, states, text):
        after = set()
        for state in states:
            for i, (index, ticks, half) in enumerate(state):
                copy = self.copies[i]
                moves = []
                if half:
                    if text == 'TrayMessage, 1':
                        moves.append((index, ticks, False))
                else:
                    if text == 'OnTimer elapsed=%d' % (ticks + 1):
                        moves.append((index, ticks + 1, True))
                    wanted = self.expected[copy]
                    if index < len(wanted) and text == wanted[index]:
                        moves.append((index + 1, ticks, False))
                for move in moves:
                    after.add(state[:i] + (move,) + state[i + 1:])
        return after

    def check(self, what, timeout=10.0):
        """Waits until the lines written since the last check complete what is expected."""
        deadline = time.monotonic() + timeout
        while True:
            texts = self._texts()
            states = self.states
            for text in texts[self.checked:]:
                states = self._step(states, text)
                if not states:
                    break
            done = {s for s in states if all(
                index == len(self.expected[self.copies[i]]) and not half
                for i, (index, _, half) in enumerate(s))}
            if done:
                self.checked = len(texts)
                self.states = done
                return
            if time.monotonic() > deadline:
                raise Failure('%s: the log\'s new lines %r, expected %r with minute ticks between'
                              % (what, texts[self.checked:],
                                 {c: self.expected[c] for c in self.copies}))
            time.sleep(0.1)


class Story:
    def __init__(self, screenshots):
        self.screenshots = screenshots
        self.system_bus = sessions.SystemBus()
        self.sessions = {}
        self.hands = {}
        self.log = LogBook()
        self.copy = {}      # user -> the log book's name of the program's current copy
        self.starts = collections.Counter()
        self.remaining = {}
        self.created = []

    # --- helpers ---

    def settings_path(self, user):
        return '%s/qm-%s.dat' % (DIRECTORY, user)

    def expect_settings(self, user, enabled, allowed, remaining, logoff, timeout=10.0):
        expect_soon('the settings file ' + self.settings_path(user),
                    lambda: read_bytes(self.settings_path(user)),
                    settings(enabled, allowed, remaining, logoff), timeout)

    def main(self, user):
        return self.hands[user].soon("%s's main window" % user, 'main')

    def expect_status(self, user, expected, timeout=10.0):
        # Qt's text box holds a line end as one character, "\n".
        expect_soon("%s's status" % user, lambda: self.main(user)['status'],
                    expected.replace('\r\n', '\n'), timeout)

    def expect_shown(self, user, shown, timeout=10.0):
        expect_soon("%s's main window shown" % user, lambda: self.main(user)['showing'], shown,
                    timeout)

    def expect_in_front(self, user):
        expect_soon("%s's main window in front (shown and active)" % user,
                    lambda: (lambda m: m['showing'] and m['active'])(self.main(user)), True)

    def message_box(self, user, text):
        """Reads the one message box shown, checks it and presses its OK."""
        hand = self.hands[user]
        def shown():
            try:
                return hand.ask('message', caption=CAPTION)
            except Failure:
                return None  # A window closed while it was read: read again.
        boxes = wait_for('a message box "%s"' % text, shown, timeout=10)
        expect(len(boxes) == 1, 'one message box, not %r' % boxes)
        box = boxes[0]
        expect(box['texts'] == [text], 'the message box\'s text: saw %r, expected %r'
               % (box['all'], [text]))
        expect(box['buttons'] == ['OK'] and not box['icons'],
               'the message box has one OK button and no icon, not %r' % box)
        hand.ask('press', window=CAPTION, name='OK')
        wait_for('the message box to close', lambda: shown() == [])

    def press_icon(self, user):
        self.hands[user].ask('tray')
        self.expect_in_front(user)

    def hide(self, user):
        self.hands[user].ask('press', window='main', name='Close')
        self.expect_shown(user, False)

    def log_in(self, user, password):
        hand = self.hands[user]
        hand.ask('set', window='main', name='Password', text=password)
        hand.ask('press', window='main', name='Login')

    def open_administration(self, user, password):
        self.log_in(user, password)
        self.hands[user].soon('the administration dialog', 'window',
                              window='Quotamin administration')

    def admin_fields(self, user):
        hand = self.hands[user]
        read = lambda name, roles=None: hand.ask(
            'read', window='Quotamin administration', name=name,
            **({'roles': roles} if roles else {}))
        buttons = ['radio button', 'check box']
        return {'user': read('Username')['text'],
                'allowed': read('Minutes allowed per day')['text'],
                'remaining': read('Minutes remaining for today')['text'],
                'enabled': read('Enable Quota-min for this user', buttons)['checked'],
                'logoff': read('Logoff current user', buttons)['checked'],
                'shutdown': read('Shutdown computer', buttons)['checked']}

    def expect_admin_fields(self, user, allowed, remaining, enabled, logoff):
        expect_soon('the administration dialog of %s' % user, lambda: self.admin_fields(user),
                    {'user': user, 'allowed': allowed, 'remaining': remaining,
                     'enabled': enabled, 'logoff': logoff, 'shutdown': not logoff})

    def set_admin(self, user, name, text):
        self.hands[user].ask('set', window='Quotamin administration', name=name, text=text)

    def press(self, user, window, name):
        self.hands[user].ask('press', window=window, name=name)

    def window_closed(self, user, window):
        def closed():
            try:
                self.hands[user].ask('window', window=window)
                return False
            except Failure:
                return True
        wait_for('the window "%s" to close' % window, closed)

    def screenshot(self, user, title, name):
        display = self.sessions[user].display
        # The main window has no title of its own: it is the program's largest window.
        search = ['--class', CAPTION] if title == CAPTION else ['--name', '^%s$' % title]
        found = subprocess.run(['xdotool', 'search', '--onlyvisible', *search],
                               capture_output=True, text=True,
                               env={'DISPLAY': display}).stdout.split()
        best = None
        for window_id in found:
            geometry = subprocess.run(['xdotool', 'getwindowgeometry', '--shell', window_id],
                                      capture_output=True, text=True,
                                      env={'DISPLAY': display}).stdout
            values = dict(line.split('=', 1) for line in geometry.split())
            area = int(values['WIDTH']) * int(values['HEIGHT'])
            if best is None or area > best[0]:
                best = (area, window_id)
        expect(best is not None, 'a window "%s" to take a picture of' % title)
        # The frame the window manager draws around the window, with its title.
        frame = subprocess.run(['xdotool', 'getwindowgeometry', best[1]], capture_output=True,
                               text=True, env={'DISPLAY': display})
        expect(frame.returncode == 0, 'the window "%s"' % title)
        subprocess.run(['import', '-display', display, '-frame', '-window', best[1],
                        os.path.join(self.screenshots, name + '.png')], check=True)

    def start_program(self, user):
        self.starts[user] += 1
        copy = '%s#%d' % (user, self.starts[user])
        self.copy[user] = copy
        self.log.start(copy)
        self.sessions[user].log_in_program()
        return copy

    def start_and_see_it_hide(self, user, status):
        started = time.monotonic()
        self.start_program(user)
        self.expect_status(user, status, timeout=30)
        self.expect_shown(user, False, timeout=30)
        # The second's hide timer runs on the programs' clock.
        hidden = time.monotonic() - started
        expect(hidden < 30, 'the window hides soon after start-up, not after %.1f s' % hidden)

    # --- the steps ---

    def installed(self):
        def mode(path):
            status = os.lstat(path)
            return (oct(status.st_mode & 0o7777), pwd.getpwuid(status.st_uid).pw_name,
                    grp.getgrgid(status.st_gid).gr_name)
        expect(mode(DIRECTORY) == ('0o1733', 'root', 'root'),
               '%s: saw %r, expected 1733 root:root' % (DIRECTORY, mode(DIRECTORY)))
        expect(mode(PASSWORD_FILE) == ('0o664', 'root', 'quotamin'),
               '%s: saw %r, expected 0664 root:quotamin' % (PASSWORD_FILE, mode(PASSWORD_FILE)))
        expect(read_bytes(PASSWORD_FILE) == password_file('quiltbay'),
               'the password file holds the initial password: %r' % read_bytes(PASSWORD_FILE))
        expect(mode(LOG) == ('0o622', 'root', 'root'),
               '%s: saw %r, expected 0622 root:root' % (LOG, mode(LOG)))
        expect(self.log._texts() == [], 'no line of the programs in the log yet')
        expect(not any(os.path.exists(self.settings_path(u)) for u in USERS),
               'no settings of the test\'s users: %r' % os.listdir(DIRECTORY))
        with open(sessions.AUTOSTART) as entry:
            text = entry.read()
        expect('Exec=/usr/bin/quotamin\n' in text, 'the autostart entry starts /usr/bin/quotamin')

    def users_and_buses(self):
        for user in USERS:
            expect(subprocess.run(['id', user], capture_output=True).returncode != 0,
                   'no user %s on this machine before the test' % user)
        # The first user may change the administrator password; the second may not.
        for user, groups in ((USERS[0], ['-G', 'quotamin']), (USERS[1], [])):
            subprocess.run(['useradd', '-m', '-s', '/bin/bash', *groups, user], check=True)
            self.created.append(user)
        # The second user makes the first one's settings file before the package
        # makes it; the package's configuration gives each user an empty file of
        # their own, in place of the other user's.
        subprocess.run(['runuser', '-u', USERS[1], '--', 'sh', '-c',
                        'printf "\\001\\000\\000\\000" > ' + self.settings_path(USERS[0])],
                       check=True)
        expect(os.stat(self.settings_path(USERS[0])).st_uid == pwd.getpwnam(USERS[1]).pw_uid,
               "the second user made the first one's settings file")
        subprocess.run(['dpkg-reconfigure', 'quotamin'], check=True)
        for user in USERS:
            path = self.settings_path(user)
            status = os.stat(path)
            expect(read_bytes(path) == b'' and status.st_uid == pwd.getpwnam(user).pw_uid and
                   oct(status.st_mode & 0o7777) == '0o644',
                   '%s: an empty file of %s\'s own, 0644, not %r, owner %d, mode %o'
                   % (path, user, read_bytes(path), status.st_uid, status.st_mode))
        os.makedirs(sessions.RUN, exist_ok=True)
        os.chmod(sessions.RUN, 0o755)
        self.system_bus.start()

    def session_starts(self, user, screen):
        session = sessions.Session(user, self.system_bus, screen)
        self.sessions[user] = session
        session.start()
        self.hands[user] = Hand(session)

    def new_user_starts(self, user):
        expect(read_bytes(self.settings_path(user)) == b'', 'the empty settings file of %s' % user)
        self.start_and_see_it_hide(user, DISABLED)
        self.expect_settings(user, 0, 120, 120, 1)
        self.log.expect(self.copy[user], START_LINE, 'TrayMessage, 0')
        self.log.check('the start of %s' % user)
        status = os.stat(self.settings_path(user))
        expect(status.st_uid == self.sessions[user].uid, 'the settings file is the user\'s own')

    def icon_shows_the_window(self, user):
        self.press_icon(user)
        self.expect_status(user, DISABLED)

    def escape_and_close_hide(self, user):
        for way in ('Escape', 'Close'):
            if not self.main(user)['showing']:
                self.press_icon(user)
            self.hands[user].ask('set', window='main', name='Password', text='half typed')
            if way == 'Escape':
                self.hands[user].ask('key', key='Escape')
            else:
                self.press(user, 'main', 'Close')
            self.expect_shown(user, False)
            expect_soon('the password box after ' + way, lambda: self.main(user)['password'], '')

    def wrong_password_is_refused(self, user):
        self.press_icon(user)
        self.log_in(user, 'quiltbag')
        self.message_box(user, 'Sorry, that password is incorrect')
        # (Qt does not show a password box's text on the accessibility bus.)
        expect(self.main(user)['showing'], 'the main window stays shown')

    def capitals_open_administration(self, user):
        self.open_administration(user, 'QUILTBAY')
        expect_soon('the password box', lambda: self.main(user)['password'], '')
        self.expect_admin_fields(user, '120', '120', False, True)
        self.screenshot(user, 'Quotamin administration', 'linux-administration')

    def invalid_entries_are_refused(self, user):
        entries = [
            ('', '30', 'Both minutes allowed and minutes remaining must be specified'),
            ('9', '', 'Both minutes allowed and minutes remaining must be specified'),
            ('9', '30', 'Minutes allowed must be between 10 and 1440'),
            ('1441', '0', 'Minutes allowed must be between 10 and 1440'),
            (' ', '30', 'Minutes allowed must be between 10 and 1440'),
            ('30', '1', 'Minutes remaining today must be between 2 and 1440'),
            ('12abc', '1441', 'Minutes remaining today must be between 2 and 1440'),
        ]
        for allowed, remaining, message in entries:
            self.set_admin(user, 'Minutes allowed per day', allowed)
            self.set_admin(user, 'Minutes remaining for today', remaining)
            self.press(user, 'Quotamin administration', 'OK')
            self.message_box(user, message)
            fields = self.admin_fields(user)
            expect((fields['allowed'], fields['remaining']) == (allowed, remaining),
                   'the dialog stays open with the entries unchanged: %r' % fields)
        self.expect_settings(user, 0, 120, 120, 1)

    def change_password(self, user):
        self.press(user, 'Quotamin administration', 'Change password')
        hand = self.hands[user]
        hand.soon('the change-password dialog', 'window', window='Change password')
        refused = [
            ('QUILTBAY', 'Secret7', 'Secret7', 'The old password is not correct'),
            ('quiltbay', 'Secret7', 'secret7',
             'The new password did not match the repeated new password'),
            ('quiltbay', '', 'x', 'The new password did not match the repeated new password'),
            ('quiltbay', '', '', 'The new password cannot be blank'),
        ]

        def type_in(old, new, repeat):
            for name, text in (('Old password', old), ('New password', new),
                               ('Repeat new password', repeat)):
                hand.ask('set', window='Change password', name=name, text=text)

        for number, (old, new, repeat, message) in enumerate(refused):
            type_in(old, new, repeat)
            if number == 0:
                self.screenshot(user, 'Change password', 'linux-change-password')
            self.press(user, 'Change password', 'OK')
            self.message_box(user, message)
            hand.ask('window', window='Change password')
            expect(read_bytes(PASSWORD_FILE) == password_file('quiltbay'),
                   'the password file unchanged')
        type_in('quiltbay', 'Secret7', 'Secret7')
        self.press(user, 'Change password', 'OK')
        self.message_box(user, 'The new password has been saved - remember to use this '
                               'password in the future.')
        self.window_closed(user, 'Change password')
        expect(read_bytes(PASSWORD_FILE) == password_file('Secret7'),
               'the password file: saw %r, expected %r' % (read_bytes(PASSWORD_FILE),
                                                           password_file('Secret7')))
        status = os.stat(PASSWORD_FILE)
        expect((status.st_uid, grp.getgrgid(status.st_gid).gr_name, oct(status.st_mode & 0o7777))
               == (0, 'quotamin', '0o664'), 'the password file written in place, still root\'s')
        expect(self.admin_fields(user)['allowed'] == '12abc',
               "the administration dialog's entries after the change")

    def valid_entries_are_saved(self, user, remaining, logoff):
        self.set_admin(user, 'Minutes allowed per day', '30')
        self.set_admin(user, 'Minutes remaining for today', str(remaining))
        first, second = ('Shutdown computer', 'Logoff current user') if logoff else (
            'Logoff current user', 'Shutdown computer')
        # The first user clicks with the mouse; the second toggles through the
        # accessibility bus, as a screen reader does.
        way = 'click' if user == USERS[0] else 'press'
        for name in (first, second, 'Enable Quota-min for this user'):
            self.hands[user].ask(way, window='Quotamin administration', name=name)
            expect_soon(name + ' checked', lambda: self.hands[user].ask(
                'read', window='Quotamin administration', name=name,
                roles=['radio button', 'check box'])['checked'], True, timeout=3)
        self.expect_admin_fields(user, '30', str(remaining), True, logoff)
        self.press(user, 'Quotamin administration', 'OK')
        self.window_closed(user, 'Quotamin administration')
        # The minute timer runs again from here: read before its first tick.
        self.expect_settings(user, 1, 30, remaining, int(logoff), timeout=2)
        self.expect_status(user, status_of(remaining), timeout=2)
        self.remaining[user] = remaining
        self.log.expect(self.copy[user], 'TrayMessage, 1')
        self.log.check('the saved settings of %s' % user)
        expect(self.main(user)['showing'], 'the main window stays shown')

    def next_minute(self, user, logoff=True):
        """Waits for the next tick to charge a minute and checks it."""
        self.remaining[user] -= 1
        remaining = self.remaining[user]
        self.expect_settings(user, 1, 30, remaining, int(logoff), timeout=15)
        if remaining > 0:
            self.expect_status(user, status_of(remaining), timeout=2)
        return remaining

    def minute_ticks_count_down(self, user):
        self.hide(user)
        self.next_minute(user)
        charged = time.monotonic()
        self.expect_in_front(user)
        self.screenshot(user, CAPTION, 'linux-main-window')
        self.hide(user)
        self.next_minute(user)
        # The minute timer runs on the sped-up clock: a minute is 60 / rate seconds.
        minute = time.monotonic() - charged
        expected = 60.0 / sessions.CLOCK_RATE
        expect(expected / 2 < minute < expected * 2,
               'a minute tick %.1f s after the last one, expected about %.1f s' % (
                   minute, expected))
        time.sleep(0.3)
        expect(not self.main(user)['showing'], 'the window stays hidden at 4 minutes')
        self.log.check('the minute ticks of %s' % user)

    def about_box(self, user):
        # The icon's menu is a pop-up, which Qt leaves off the accessibility bus:
        # its one entry, "About Quotamin...", is chosen with the keys.
        self.hands[user].ask('tray', button=3)
        time.sleep(0.5)
        self.hands[user].ask('key', key='Down Return')
        self.hands[user].soon('the about box', 'window', window='About Quotamin')
        self.screenshot(user, 'About Quotamin', 'linux-about')
        self.press(user, 'About Quotamin', 'OK')
        self.window_closed(user, 'About Quotamin')

    def shutdown_quotamin(self, user):
        if not self.main(user)['showing']:
            self.press_icon(user)
        self.log_in(user, 'quiltbay')
        self.message_box(user, 'Sorry, that password is incorrect')
        self.open_administration(user, 'sECRET7')
        # The timers stop while the dialog is open: the file holds the balance it shows.
        remaining = int(self.admin_fields(user)['remaining'])
        expect(remaining in (self.remaining[user], self.remaining[user] - 1),
               'the minutes remaining shown: %d after %d' % (remaining, self.remaining[user]))
        self.remaining[user] = remaining
        self.expect_settings(user, 1, 30, remaining, 1)
        self.expect_admin_fields(user, '30', str(remaining), True, True)
        self.set_admin(user, 'Minutes allowed per day', '99')
        self.press(user, 'Quotamin administration', 'Shutdown Quotamin')
        self.window_closed(user, 'Quotamin administration')
        self.message_box(user, 'Remember to restart Quotamin if you want to ration this session.')
        program = self.sessions[user].program
        try:
            code = program.wait(30)
        except subprocess.TimeoutExpired:
            raise Failure('the program did not end')
        expect(code == 0, "the program's exit code: %d" % code)
        self.expect_settings(user, 1, 30, remaining, 1)
        self.log.expect(self.copy[user], 'TrayMessage, 1', 'TrayMessage, 2')
        self.log.check('the shutdown of %s' % user)

    # The second user's session, with the administrator's password.
    def second_user_is_rationed_with_power_off(self, user):
        self.new_user_starts(user)
        self.press_icon(user)
        self.log_in(user, '')
        self.message_box(user, 'Sorry, that password is incorrect')
        self.open_administration(user, 'Secret7')
        self.expect_admin_fields(user, '120', '120', False, True)
        # A user outside the password's group cannot change it.
        self.press(user, 'Quotamin administration', 'Change password')
        hand = self.hands[user]
        hand.soon('the change-password dialog', 'window', window='Change password')
        for name, text in (('Old password', 'Secret7'), ('New password', 'Mine'),
                           ('Repeat new password', 'Mine')):
            hand.ask('set', window='Change password', name=name, text=text)
        self.press(user, 'Change password', 'OK')
        self.message_box(user, PASSWORD_FILE + ' - Can\'t open file for writing')
        expect(read_bytes(PASSWORD_FILE) == password_file('Secret7'), 'the password unchanged')
        self.press(user, 'Change password', 'Cancel')
        self.window_closed(user, 'Change password')
        first = USERS[0]
        # The first user's balance, plus time to see the second user go on.
        self.valid_entries_are_saved(user, self.remaining[first] + 6, False)
        self.hide(user)

    def time_runs_out_with_log_off(self, user):
        other = [u for u in USERS if u != user][0]
        self.start_and_see_it_hide(user, status_of(self.remaining[user]))
        self.log.expect(self.copy[user], START_LINE, 'TrayMessage, 0')
        while self.remaining[user] > 1:
            remaining = self.next_minute(user)
            self.expect_shown(user, remaining == 1, timeout=2)
        self.remaining[user] -= 1
        self.expect_settings(user, 1, 30, 0, 1, timeout=15)
        session = self.sessions[user]
        try:
            session.program.wait(30)
        except subprocess.TimeoutExpired:
            raise Failure("the session's end did not end the program; the session manager "
                          "heard %r, logind %r; the session said %r" % (
                              calls_of(session.manager_log), self.system_bus.calls(),
                              session.errors()))
        wait_for("every process of %s's session to end" % user,
                 lambda: not session.processes_alive(), timeout=30)
        calls = calls_of(session.manager_log)
        expect(calls == ['Logout 1'], 'the session manager was asked: %r, expected '
                                      "['Logout 1']" % calls)
        expect(not any(c.startswith(('PowerOff', 'TerminateSession'))
                       for c in self.system_bus.calls()),
               'logind was asked nothing of the kind: %r' % self.system_bus.calls())
        self.hands[user].stop()
        # The other user's program counts on.
        expect(self.sessions[other].program.poll() is None, "%s's program runs on" % other)
        self.sync_remaining(other)
        expect(self.remaining[other] > 1, "%s's balance left: %d" % (other, self.remaining[other]))
        self.next_minute(other, logoff=False)
        self.log.check("the end of %s's session" % user)

    def sync_remaining(self, user):
        """The balance as the settings file holds it now."""
        self.remaining[user] = int.from_bytes(read_bytes(self.settings_path(user))[8:12],
                                              'little', signed=True)

    def time_runs_out_with_power_off(self, user):
        self.sync_remaining(user)
        while self.remaining[user] > 1:
            remaining = self.next_minute(user, logoff=False)
            if remaining <= 5:
                # Brought to the front at 5 and not hidden since.
                self.expect_shown(user, True, timeout=2)
        self.remaining[user] -= 1
        self.expect_settings(user, 1, 30, 0, 0, timeout=15)
        self.expect_status(user, END, timeout=5)
        wait_for('the power-off request',
                 lambda: any(c.startswith('PowerOff') for c in self.system_bus.calls()))
        time.sleep(1)
        calls = [c for c in self.system_bus.calls() if not c.startswith(('Get', 'CanPowerOff'))]
        expect(calls == ['PowerOff False'], 'logind was asked: %r, expected '
                                            "['PowerOff False']" % calls)
        expect(calls_of(self.sessions[user].manager_log) == [],
               'the session manager was asked nothing')
        self.log.check('the power-off of %s' % user)

    def log_holds_only_whole_lines(self):
        self.log.check('the whole log')
        if self.log.foreign:
            print('    (%d lines in the log from other programs of this machine, not checked)'
                  % self.log.foreign)


def calls_of(log_path):
    """The session manager's calls that end a session (property reads left out)."""
    return [c for c in sessions.calls_in(log_path) if c.split()[0] in ('Logout', 'Shutdown',
                                                                        'Reboot')]


def steps(story):
    a, b = USERS
    return [
        ('the package made the directory, the password file and the log', story.installed),
        ("two users, each given an empty settings file of their own, not another user's; "
         'a private system bus with logind', story.users_and_buses),
        ("%s's desktop session" % a, lambda: story.session_starts(a, 41)),
        ("a new user's start: status shown, hidden soon, settings and log written",
         lambda: story.new_user_starts(a)),
        ("a click on the icon shows the window in front", lambda: story.icon_shows_the_window(a)),
        ('Escape and Close hide the window and clear the password',
         lambda: story.escape_and_close_hide(a)),
        ('a wrong password is refused with a message box',
         lambda: story.wrong_password_is_refused(a)),
        ('the password in capitals opens the administration dialog filled from the settings',
         lambda: story.capitals_open_administration(a)),
        ('invalid entries are refused with their message, nothing is saved',
         lambda: story.invalid_entries_are_refused(a)),
        ('the change-password dialog refuses, then saves the new password scrambled',
         lambda: story.change_password(a)),
        ('valid entries are saved and rationing starts',
         lambda: story.valid_entries_are_saved(a, 6, True)),
        ('minutes tick by, the warning at 5 brings the window to the front',
         lambda: story.minute_ticks_count_down(a)),
        ("the icon's menu opens the about box", lambda: story.about_box(a)),
        ('Shutdown Quotamin: the reminder, the icon removed, the program gone',
         lambda: story.shutdown_quotamin(a)),
        ("%s's desktop session" % b, lambda: story.session_starts(b, 42)),
        ('the second user: the same password, no right to change it, rationed with power-off',
         lambda: story.second_user_is_rationed_with_power_off(b)),
        ("the first user's next start: the time runs out, log-off ends that session only",
         lambda: story.time_runs_out_with_log_off(a)),
        ("the second user's time runs out: power-off requested without interaction",
         lambda: story.time_runs_out_with_power_off(b)),
        ('the log', story.log_holds_only_whole_lines),
    ]


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    story = Story(sys.argv[1])
    os.makedirs(story.screenshots, exist_ok=True)
    passed = failed = 0
    try:
        for name, run in steps(story):
            if failed:
                print('not run: ' + name)
                continue
            started = time.monotonic()
            try:
                run()
                print('ok: %s (%.1f s)' % (name, time.monotonic() - started), flush=True)
                passed += 1
            except Failure as failure:
                print('FAILED: %s\n    %s' % (name, failure), flush=True)
                failed += 1
    finally:
        for hand in story.hands.values():
            hand.stop()
        for session in story.sessions.values():
            session.stop()
        story.system_bus.stop()
        for user in story.created:
            subprocess.run(['userdel', '-r', user], capture_output=True)
        shutil.rmtree(sessions.RUN, ignore_errors=True)
    print('%d passed, %d failed' % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == '__main__':
    sys.exit(main())
