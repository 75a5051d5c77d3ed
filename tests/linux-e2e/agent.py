"""The test's hands and eyes in one user's desktop session, run as that user:
reads and works the program's windows through the accessibility bus
(pyatspi), one request per line on standard input, one JSON answer per line
on standard output."""

import json
import subprocess
import sys
import time

import pyatspi

APPLICATION = 'quotamin'


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.name == APPLICATION:
            return app
    return None


def descendants(node):
    # A window may close while it is read: what is gone is left out.
    try:
        children = [node.getChildAtIndex(index) for index in range(node.childCount)]
    except Exception:
        return
    for child in children:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def states(node):
    state = node.getState()
    return {name: state.contains(value) for name, value in (
        ('showing', pyatspi.STATE_SHOWING), ('visible', pyatspi.STATE_VISIBLE),
        ('active', pyatspi.STATE_ACTIVE), ('checked', pyatspi.STATE_CHECKED),
        ('enabled', pyatspi.STATE_ENABLED), ('focused', pyatspi.STATE_FOCUSED))}


def text_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, -1)


def describe(node, depth=0):
    entry = {'role': node.getRoleName(), 'name': node.name, 'states': states(node),
             'text': text_of(node)}
    if depth < 6:
        entry['children'] = [describe(child, depth + 1) for child in
                             (node.getChildAtIndex(i) for i in range(node.childCount))
                             if child is not None]
    return entry


def windows():
    app = application()
    if app is None:
        return []
    found = []
    try:
        for index in range(app.childCount):
            child = app.getChildAtIndex(index)
            if child is not None:
                found.append(child)
    except Exception:
        pass  # A window that closes while it is read.
    return found


def has_login(node):
    return any(child.name == 'Login' and child.getRoleName() == 'push button'
               for child in descendants(node))


def main_window():
    """The main window, shown or hidden: the program's one window with Login."""
    for candidate in windows():
        if candidate.name == APPLICATION and has_login(candidate):
            return candidate
    raise LookupError('no main window')


def window(name):
    """The shown top-level window of that name."""
    if name == 'main':
        return main_window()
    for candidate in windows():
        if candidate.name == name and states(candidate)['showing'] and not has_login(candidate):
            return candidate
    raise LookupError('no shown window named "%s"' % name)


LAST_CLICK = [0.0]


def click(x, y, button):
    # Two clicks closer than the double-click time would be a double click,
    # which does not show the window.
    time.sleep(max(0.0, LAST_CLICK[0] + 0.8 - time.monotonic()))
    LAST_CLICK[0] = time.monotonic()
    subprocess.run(['xdotool', 'mousemove', str(x), str(y), 'sleep', '0.1', 'click', str(button)],
                   check=True)


def tray_icon():
    """The icon's window in the panel's notification area: the program's
    small window that is shown."""
    found = subprocess.run(['xdotool', 'search', '--onlyvisible', '--class', APPLICATION],
                           capture_output=True, text=True).stdout.split()
    for window_id in found:
        geometry = subprocess.run(['xdotool', 'getwindowgeometry', '--shell', window_id],
                                  capture_output=True, text=True).stdout
        values = dict(line.split('=', 1) for line in geometry.split())
        width, height = int(values['WIDTH']), int(values['HEIGHT'])
        if width <= 64 and height <= 64:
            return int(values['X']) + width // 2, int(values['Y']) + height // 2
    raise LookupError('no icon of the program in the notification area')


def control(window_name, name, roles):
    for node in descendants(window(window_name)):
        if node.name == name and node.getRoleName() in roles:
            return node
    seen = ['%s "%s"' % (n.getRoleName(), n.name) for n in descendants(window(window_name))]
    raise LookupError('no %s named "%s" in the window "%s", which has: %s' % (
        '/'.join(roles), name, window_name, ', '.join(seen)))


EDIT_ROLES = ('text', 'password text', 'entry')
BUTTON_ROLES = ('push button', 'radio button', 'check box', 'toggle button')


def act(node):
    """The control's first action: Press for a push button, Toggle for a check
    box or radio button, as a screen reader offers them."""
    return node.queryAction().doAction(0)


def handle(request):
    op = request['op']
    if op == 'read':
        node = control(request['window'], request['name'], request.get('roles', EDIT_ROLES))
        return {'text': text_of(node), **states(node)}
    if op == 'set':
        node = control(request['window'], request['name'], EDIT_ROLES)
        node.queryEditableText().setTextContents(request['text'])
        return text_of(node)
    if op == 'click':
        # A click of the mouse on a button, where its box is for a check box or radio button.
        node = control(request['window'], request['name'], BUTTON_ROLES)
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x = box.x + (box.width - 6 if node.getRoleName() != 'push button' else box.width // 2)
        click(x, box.y + box.height // 2, 1)
        return True
    if op == 'press':
        return bool(act(control(request['window'], request['name'], BUTTON_ROLES)))
    if op == 'message':
        # A message box: its caption, the texts it shows and its buttons.
        found = []
        for candidate in windows():
            try:
                if candidate.name != request['caption'] or not states(candidate)['showing'] or \
                        has_login(candidate):
                    continue
                nodes = list(descendants(candidate))
            except Exception:
                continue
            if True:
                found.append({
                    'all': ['%s "%s" %r' % (n.getRoleName(), n.name, text_of(n)) for n in nodes],
                    'texts': [n.name for n in nodes if n.getRoleName() == 'label' and n.name],
                    'buttons': [n.name for n in nodes if n.getRoleName() == 'push button'],
                    'icons': [n.getRoleName() for n in nodes
                              if n.getRoleName() in ('icon', 'image')]})
        return found
    if op == 'main':
        node = main_window()
        status = next(n for n in descendants(node) if n.getRoleName() == 'text')
        password = next(n for n in descendants(node) if n.getRoleName() == 'password text')
        return {'status': text_of(status), 'password': text_of(password), **states(node)}
    if op == 'tray':
        click(*tray_icon(), request.get('button', 1))
        return True
    if op == 'window':
        return describe(window(request['window']))
    if op == 'key':
        subprocess.run(['xdotool', 'key', '--delay', '100', *request['key'].split()], check=True)
        return True
    raise ValueError('unknown request ' + op)


def main():
    for line in sys.stdin:
        try:
            answer = {'ok': handle(json.loads(line))}
        except Exception as error:  # Every failure goes back to the story to report.
            answer = {'error': '%s: %s' % (type(error).__name__, error)}
        sys.stdout.write(json.dumps(answer) + '\n')
        sys.stdout.flush()


if __name__ == '__main__':
    main()
