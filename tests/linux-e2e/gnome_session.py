"""A GNOME session manager on a user's session bus, as a python-dbusmock
template: Logout is recorded in the mock's log, and a log-off ends the
session's processes (the process group given as `session_group`) half a
second after the call was answered, as a real session's end does."""

import dbus

BUS_NAME = 'org.gnome.SessionManager'
MAIN_OBJ = '/org/gnome/SessionManager'
MAIN_IFACE = 'org.gnome.SessionManager'
SYSTEM_BUS = False


def load(mock, parameters):
    group = int(parameters['session_group'])
    mock.AddMethod(MAIN_IFACE, 'Logout', 'u', '',
                   'import subprocess, sys\n'
                   'subprocess.Popen([sys.executable, "-c", "import os, signal, time; '
                   'time.sleep(0.5); os.killpg(%d, signal.SIGTERM)"], start_new_session=True)'
                   % group)
    mock.AddMethod(MAIN_IFACE, 'Shutdown', '', '', '')
    mock.AddMethod(MAIN_IFACE, 'Reboot', '', '', '')
    mock.AddProperties(MAIN_IFACE, dbus.Dictionary({'SessionIsActive': True}, signature='sv'))
