"""How a Windows program splits its command line, to check what reached the run object."""


def split_windows_command_line(line):
    """The C runtime's rules after the program name: 2n backslashes before a quote give n
    and toggle quoting, 2n+1 give n and a literal quote, other backslashes are literal."""
    arguments = []
    at = 0
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
