"""Prints the panel benchmark's table from run.sh's `label name value` lines: medians over the runs,
each panel figure beside its yardstick from the same runs, and the goal it is held to."""

import statistics
import sys
from collections import defaultdict

values = defaultdict(list)
with open(sys.argv[1]) as lines:
    for line in lines:
        parts = line.split()
        if len(parts) == 3:
            values[(parts[0], parts[1])].append(float(parts[2]))
runs = sys.argv[2]


def median(label, name):
    found = values.get((label, name))
    return statistics.median(found) if found else float("nan")


def row(measure, panel, bare="", curl="", goal=""):
    print(f"{measure:<48} {panel:>10} {bare:>10} {curl:>10}   {goal}")


print(f"medians of {runs} runs under Xvfb, with a tray host")
row("measure", "panel", "bare Qt 6", "curl", "goal")
start, bare_start = median("panel-start", "startup_ms"), median("bare", "startup_ms")
row("start to first painted window (ms)", f"{start:.1f}", f"{bare_start:.1f}", "",
    f"ratio {start / bare_start:.2f}x (goal <= 1.15x)")
row("resident memory after the first poll (MiB)", f"{median('window-1000', 'rss_mib'):.1f}",
    f"{median('bare', 'rss_mib'):.1f}", "", "1,000 keys; goal <= 40 MiB")
row("    of which heap and data / code and fonts (MiB)",
    f"{median('window-1000', 'rss_anon_mib'):.1f}", f"{median('bare', 'rss_anon_mib'):.1f}", "",
    f"/ {median('window-1000', 'rss_file_mib'):.1f} against {median('bare', 'rss_file_mib'):.1f}")
for keys, goal in (("1000", 15), ("3", 10)):
    for where in ("window", "tray"):
        label = f"{where}-{keys}"
        row(f"CPU per 30 s idle, {keys} keys, {'window open' if where == 'window' else 'tray only'} (ms)",
            f"{median(label, 'cpu_ms_per_30s'):.1f}", f"{median('bare', 'cpu_ms_per_30s'):.1f}",
            f"{median(f'curl-{keys}', 'cpu_ms_per_30s'):.1f}", f"goal <= {goal} ms")
        row("    main thread / other threads (ms)",
            f"{median(label, 'main_ms_per_30s'):.1f}", "", "",
            f"{median(label, 'other_threads_ms_per_30s'):.1f} in other threads")
        row("    widgets painted / layouts redone per poll",
            f"{median(label, 'paints_per_cycle'):.1f}", "", "",
            f"{median(label, 'layouts_per_cycle'):.1f} layouts")
row("the poll's requests alone, 3 keys: QNetworkAccessManager (ms per 30 s)",
    f"{median('qnam-3', 'cpu_ms_per_30s'):.1f}", "", "",
    f"{median('qnam-3', 'other_threads_ms_per_30s'):.1f} in its HTTP thread")
row("    one kept-alive socket on the GUI thread (ms per 30 s)",
    f"{median('socket-3', 'cpu_ms_per_30s'):.1f}", "", "",
    f"{median('socket-3', 'other_threads_ms_per_30s'):.1f} in other threads")
row("Start pressed to \"Your Tavrin server is live.\" (ms)", f"{median('startstop', 'start_to_live_ms'):.0f}", "", "",
    "goal <= 1000 ms")
row("Stop pressed to \"Your server is stopped.\" (ms)", f"{median('startstop', 'stop_to_stopped_ms'):.0f}", "", "",
    "goal <= 500 ms")
row(f"soak of {median('soak', 'soak_polls'):.0f} polls: RSS growth, window open / tray (MiB)",
    f"{median('soak', 'soak_rss_growth_window_mib'):.2f}", "", "",
    f"/ {median('soak', 'soak_rss_growth_tray_mib'):.2f}; goal <= 2 MiB from poll 1,000")
row("    descriptors / threads gained", f"{median('soak', 'soak_fd_delta'):.0f}", "", "",
    f"/ {median('soak', 'soak_thread_delta'):.0f}; goal 0")
