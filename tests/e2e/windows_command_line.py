"""How a Windows program splits its command line (CommandLineToArgvW), to check what reached
the run object. The unit tests of the Windows build hold the same rules against the real
reader."""


def split_windows_command_line(line):
    """The program name at the head ends at its closing quote when it starts with one, else
    at the first space or tab, and has no escapes. Later arguments: 2n backslashes before a
    quote give n and toggle quoting, 2n+1 give n and a literal quote, other backslashes are
    literal."""
    at = 0
    if line.startswith('"'):
        closing = line.find('"', 1)
        closing = len(line) if closing < 0 else closing
        head = line[1:closing]
        at = closing + 1
    else:
        while at < len(line) and line[at] not in " \t":
            at += 1
        head = line[:at]
    arguments = [head]
    while True:
        while at < len(line) and line[at] in " \t":
            at += 1
        if at >= len(line):
            return arguments
        argument = []
        quoted = False
        while at < len(line) and (quoted or line[at] not in " \t"):
            backslashes = 0
            while at < len(line) and line[at] == "\\":
                backslashes += 1
                at += 1
            if at < len(line) and line[at] == '"':
                argument.append("\\" * (backslashes // 2))
                if backslashes % 2:
                    argument.append('"')
                elif quoted and at + 1 < len(line) and line[at + 1] == '"':
                    argument.append('"')
                    at += 1
                else:
                    quoted = not quoted
                at += 1
            else:
                argument.append("\\" * backslashes)
                if at < len(line) and (quoted or line[at] not in " \t"):
                    argument.append(line[at])
                    at += 1
        arguments.append("".join(argument))
