#!/usr/bin/env python3
"""End-to-end conversion beside the two reference converters.

For the generated backups of 19 MB and 170 MB: velmora-convert lists every backup and
exports the last one, and so do the reference converters on pugixml and on libxml2 (built
from ../shared/peers). Each program runs several times in turn; the table shows the median
wall time, the processor time (user and system, of all threads: Velmora prepares memory on a
second one) and the peak memory (/usr/bin/time), and the ratios of Velmora to each peer. The
three address files must be byte-identical.

usage: convert_bench.py VELMORA_CONVERT WORK_FOLDER [--runs N] [--sizes 19,170]
"""
import argparse
import filecmp
import os
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SHARED = os.path.normpath(os.path.join(HERE, "..", "..", "shared"))
SIZES = {
    "19": ["--devices", "3", "--backups", "8", "--contacts", "5000"],
    "170": ["--devices", "4", "--backups", "10", "--contacts", "25000"],
}


def backup_file(work, size):
    path = os.path.join(work, f"backup-{size}MB.lmc")
    if not os.path.exists(path):
        print(f"writing the {size} MB backup ...", flush=True)
        subprocess.run([sys.executable, os.path.join(SHARED, "tools", "gen-backup.py"),
                        *SIZES[size], "-o", path + ".part"], check=True)
        os.replace(path + ".part", path)
    return path


def peers(work):
    folder = os.path.join(work, "peers")
    subprocess.run([os.path.join(SHARED, "peers", "build"), folder], check=True,
                   stdout=subprocess.DEVNULL)
    return {"pugixml": os.path.join(folder, "lmc2adr_pugixml"),
            "libxml2": os.path.join(folder, "lmc2adr_libxml2")}


def timed(command):
    """Wall seconds, processor seconds and peak kilobytes of one run."""
    result = subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", *command],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        sys.exit(f"failed ({result.returncode}): {' '.join(command)}\n{result.stderr}")
    wall, user, system, peak = result.stderr.strip().splitlines()[-1].split()
    return float(wall), float(user) + float(system), int(peak)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("velmora")
    parser.add_argument("work")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--sizes", default="19,170")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    programs = peers(args.work)
    rows = []
    for size in args.sizes.split(","):
        backup = backup_file(args.work, size)
        outputs = {name: os.path.join(args.work, f"{name}-{size}.adr")
                   for name in ["velmora", *programs]}
        commands = {
            "velmora": [args.velmora, "--force", "-o", outputs["velmora"], backup],
            **{name: [path, backup, outputs[name], "49"] for name, path in programs.items()},
        }
        runs = {name: [] for name in commands}
        for _ in range(args.runs):
            for name, command in commands.items():
                runs[name].append(timed(command))
        for name in programs:
            if not filecmp.cmp(outputs["velmora"], outputs[name], shallow=False):
                sys.exit(f"{size} MB: the address files of velmora and {name} differ")
        figures = {name: (statistics.median(w for w, _, _ in r),
                          statistics.median(c for _, c, _ in r),
                          max(p for _, _, p in r) / 1024)
                   for name, r in runs.items()}
        rows.append((size, figures))

    print(f"\nend-to-end conversion, median of {args.runs} runs; address files byte-identical")
    print(f"{'backup':>7} {'program':>8} {'wall s':>8} {'cpu s':>7} {'peak MiB':>9} "
          f"{'wall/pugi':>10} {'wall/libxml2':>13} {'cpu/libxml2':>12} {'mem/libxml2':>12}")
    for size, figures in rows:
        pugi, libxml = figures["pugixml"], figures["libxml2"]
        for name, (wall, cpu, peak) in figures.items():
            print(f"{size + ' MB':>7} {name:>8} {wall:8.2f} {cpu:7.2f} {peak:9.1f} "
                  f"{wall / pugi[0]:10.2f} {wall / libxml[0]:13.2f} {cpu / libxml[1]:12.2f} "
                  f"{peak / libxml[2]:12.2f}")
    if len(rows) == 2:
        small, large = rows[0][1]["velmora"][0], rows[1][1]["velmora"][0]
        print(f"velmora, {rows[1][0]} MB job / {rows[0][0]} MB job: {large / small:.1f}x the time")


if __name__ == "__main__":
    main()
