#!/usr/bin/env python3
"""The folders' include rule: a folder's code includes only its own headers and those of
folders below it, in the order the top CMakeLists.txt adds them (each folder is built on
those added before it). Tests, benchmarks and fuzz targets use what they test and are not
checked. Prints each include that breaks the rule, with its file and line; exits 1 if any."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[1])
order = re.findall(r'^\s*add_subdirectory\((\w+)\)', (root / 'CMakeLists.txt').read_text(), re.M)
consumers = {'fuzz', 'bench'}
folders = [f for f in order if f not in consumers]
rank = {f: i for i, f in enumerate(folders)}

def code(folder):
    for path in sorted((root / folder).rglob('*')):
        if path.suffix in ('.h', '.cpp') and 'tests' not in path.relative_to(root / folder).parts:
            yield path

owner = {}
for folder in folders:
    for path in code(folder):
        if path.suffix == '.h':
            owner.setdefault(path.name, set()).add(folder)

broken = []
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
for folder in folders:
    for path in code(folder):
        for number, line in enumerate(path.read_text(encoding='utf-8').splitlines(), 1):
            m = include.match(line)
            if not m:
                continue
            name = pathlib.PurePath(m.group(1)).name
            homes = owner.get(name, set())
            if folder in homes or not homes:
                continue  # its own header, or one generated at build time
            above = [h for h in homes if rank[h] > rank[folder]]
            if above and len(above) == len(homes):
                broken.append(f'{path.relative_to(root)}:{number}: {folder}/ includes '
                              f'"{m.group(1)}" of {", ".join(sorted(above))}/, a folder above it')
for line in broken:
    print(line)
print(f'{len(broken)} includes from a folder above; order: {" < ".join(folders)}')
sys.exit(1 if broken else 0)
