"""A settings file for the meter under test, in the program's own format."""
import os


def interface_names():
    """Every interface the system lists now, to exclude them all when nothing may move."""
    with open("/proc/net/dev") as table:
        return [line.split(":", 1)[0].strip() for line in table if ":" in line]


def write_settings(folder, theme="Deep Blue", scanlines=False, frame_delay=10,
                   rect=(-1, -1, -1, -1), hidden_in_tray=False, excluded=(), graph_type=701):
    lines = ["V1.0.0", theme, str(graph_type), "0", "1" if scanlines else "0", str(frame_delay)]
    lines += ["0"] * 15  # the five custom colours
    lines += [str(v) for v in rect]
    lines += ["1" if hidden_in_tray else "0", str(len(excluded))]
    lines += list(excluded)
    with open(os.path.join(folder, "settings.dat"), "w") as out:
        out.write("\n".join(lines) + "\n")
