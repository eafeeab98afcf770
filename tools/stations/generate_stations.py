#!/usr/bin/env python3
"""Builds the built-in station directory (src/settings/StationDirectoryData.cpp).

The codes, their grouping by state and their order come from station_codes.txt beside this
script: one line per state, "State|CODE,CODE,...", in state-list order. A code holding anything
but letters and digits is written in double quotes so that its exact text survives editors.

The station names come from public-domain station tables that Debian ships:
  weather-util-data     /usr/share/weather-util/stations.gz    (NWS station descriptions)
  libgweather-4-common  /usr/share/libgweather-4/Locations.xml (GNOME location database)
weather-util is asked first, then libgweather. Codes that neither names are listed below in
OTHER_SOURCES (each with the table or publisher that names it) or, where no source could be
found, in DESCRIPTIVE: those get a plain name that only says which state's list holds them.
Fifteen entries are fixed word for word (FIXED_ENTRIES) and are taken as they are.

The output is committed; building and running the program needs none of these packages.

Usage:
  generate_stations.py codes LIST.md
      (Re)creates station_codes.txt from the station code list (a Markdown list whose lines
      read "- State (N): CODE, CODE, ..."; other lines of the file are skipped).
  generate_stations.py generate [--weather-util PATH] [--gweather PATH] [--out PATH]
      Writes the C++ data file and sources.tsv (code, state, source, name) beside this script.
"""

import argparse
import gzip
import re
import sys
import unicodedata
import xml.etree.ElementTree as ElementTree
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parent.parent
CODES_FILE = HERE / "station_codes.txt"
SOURCES_FILE = HERE / "sources.tsv"
DEFAULT_OUT = REPO / "src" / "settings" / "StationDirectoryData.cpp"
WEATHER_UTIL = Path("/usr/share/weather-util/stations.gz")
GWEATHER = Path("/usr/share/libgweather-4/Locations.xml")

CODE_RE = re.compile(r"[A-Z0-9]{4}")

# Entries whose whole text is fixed, name and code, including the odd Minnesota entry whose
# code part keeps the two characters after the code.
FIXED_ENTRIES = {
    "KBNA": "Nashville International Airport=KBNA",
    "KCHA": "Chattanooga, Lovell Field=KCHA",
    "KCKV": "Clarksville, Outlaw Field Airport=KCKV",
    "KCSV": "Crossville Memorial-Whitson Field Airport=KCSV",
    "KDYR": "Dyersburg Automatic Weather Observing / Reporting=KDYR",
    "KMEM": "Memphis International Airport=KMEM",
    "KMKL": "Jackson, McKellar-Sipes Regional Airport=KMKL",
    "KMQY": "Smyrna=KMQY",
    "KNQA": "Millington Municipal Airport=KNQA",
    "KOQT": "Oak Ridge=KOQT",
    "KTRI": "Tri-Cities Airport=KTRI",
    "KTYS": "Knoxville, McGhee Tyson Airport=KTYS",
    "KMRX": "Morristown Nexrad=KMRX",
    "NSTU": "Pago Pago=NSTU",
    "KFKA) ": "Peston-Fillmore Co Airport=KFKA) ",
}

# Where the two Debian tables are silent. Source keys:
#   gempak    Unidata GEMPAK station tables (github.com/Unidata/gempak, gempak/tables/stns/):
#             sfmetar_sa.tbl unless the detail says inactive.tbl or nexrad.tbl. Written in
#             capitals there; given here in title case with abbreviations spelled out.
#   operator  the airport's owner names the field under its FAA identifier.
#   weather-util-airports  /usr/share/weather-util/airports.gz maps the old identifier to the
#             airport, whose name stations.gz gives.
OTHER_SOURCES = {
    "PAER": ("Merrill Pass West", "gempak", "MERRILL PASS WEST/STY R LDGE"),
    "PAFK": ("Farewell Lake Seaplane Base", "gempak", "FAREWELL LAKE (FKK - SEAPL BASE)"),
    "PAHS": ("Huslia", "gempak", "HUSLIA"),
    "PAHZ": ("Hayes River", "gempak", "HAYES RIVER"),
    "PARD": ("Red Dog", "gempak", "RED DOG"),
    "PASW": ("Skwentna", "gempak", "SKWENTNA"),
    "PAVW": ("Valdez", "gempak", "VALDEZ"),
    "PARL": ("Central Airport", "gempak", "CENTRAL_AIRPORT"),
    "PATW": ("Cantwell", "gempak", "CANTWELL"),
    "KM82": ("Huntsville, Madison County Airport", "gempak", "HUNTSVILLE/MADISON COUNTY APT"),
    "KCKL": ("Centreville, Bibb County", "gempak", "inactive.tbl: CENTREVILLE/BIBB_CO"),
    "KLZK": ("North Little Rock", "gempak", "NORTH LITTLE ROCK"),
    "KGBN": ("Gila Bend (AAF)", "gempak", "GILA BEND (AAF)"),
    "KYUM": ("Yuma International Airport", "gempak", "YUMA INTL AIRPORT"),
    "K40G": ("Grand Canyon, Valle", "gempak", "GRAND CANYON/VALLE"),
    # The table places this code in Wyoming; the code list files it under Arizona.
    "KWTR": ("Whitaker (WY DOT)", "gempak", "WHITAKER (WY DOT), WY"),
    "K87Q": ("Point Piedras (CG/AMOS)", "gempak", "PT PIEDRAS(CG/AMOS)"),
    "KXVW": ("Vandenberg Range", "gempak", "VANDENBERG RANGE"),
    "KEKA": ("Eureka", "gempak", "EUREKA"),
    "KBNY": ("Burney", "gempak", "inactive.tbl: BURNEY"),
    "KCXL": ("Calexico International Airport", "operator", "City of Calexico: Calexico International Airport (CXL)"),
    "KO87": ("Shelter Cove", "gempak", "SHELTER COVE"),
    "KPFN": ("Panama City, Bay County", "gempak", "PANAMA CITY/BAY CO."),
    "KAMX": ("Miami Nexrad", "gempak", "nexrad.tbl: AMX MIAMI/Miami"),
    "K11J": ("Blakely", "gempak", "BLAKELY"),
    "K27A": ("Elberton", "gempak", "ELBERTON"),
    "PJON": ("Johnston Island", "gempak", "JOHNSTON ISLAND"),
    "PHHN": ("Hana", "gempak", "HANA"),
    "KMLD": ("Malad City", "gempak", "MALAD CITY"),
    "KS14": ("Spencer", "gempak", "SPENCER"),
    "KCGX": ("Chicago, Meigs", "gempak", "CHICAGO/MEIGS"),
    "KMMO": ("Marseilles (AMOS)", "gempak", "MARSEILLES (AMOS)"),
    # The table places this code in Louisiana; the code list files it under Kansas.
    "KS58": ("South Timbalier", "gempak", "SOUTH TIMBALIER, LA"),
    # The table places this code in Michigan; the code list files it under Kentucky.
    "KY15": ("Cheboygan, Cheboygan County", "gempak", "CHEBOYGAN/CHEBOYGAN CO, MI"),
    "K7R8": ("South Marsh Island", "gempak", "SOUTH MARSH ISLAND"),
    "K3B6": ("Eugene Island 330", "gempak", "EUGENE ISLAND 330"),
    "K1B7": ("Boothville, R L Suggs Heliport", "gempak", "BOOTHVILLE/R L SUGGS HELIPORT"),
    "K7R4": ("Intracoastal City", "gempak", "INTRACOASTAL CITY"),
    "K7R5": ("Cameron Heliport", "gempak", "CAMERON HELIPORT"),
    "KAUD": ("Audubon Park", "gempak", "AUDUBON PARK"),
    "KE12": ("East Cameron 345", "gempak", "E. CAMERON 345"),
    "KGSM": ("Ship Shoal 207A", "gempak", "SHIP SHOAL 207A"),
    "KH08": ("High Island 264C", "gempak", "HIGH ISLAND 264C"),
    "KSRN": ("South Marsh Island Block 268A", "gempak", "SOUTH MARSH ISLAND BLOCK 268A"),
    "KXCN": ("Green Canyon 184", "gempak", "GREEN_CANYON_184"),
    "KW60": ("West Cameron 560", "gempak", "W. CAMERON 560"),
    "KCHH": ("Chatham", "gempak", "inactive.tbl: CHATHAM"),
    "KOLD": ("Old Town, Dewitt Field", "operator", "City of Old Town: Dewitt Field, Old Town Municipal Airport (OLD)"),
    "KP75": ("Seul Choix Point (AMOS)", "gempak", "SEUL CHOIX PT(AMOS)"),
    "KMQT": ("Marquette County Airport", "gempak", "MARQUETTE CO. ARPT"),
    "KILL": ("Willmar, Rice (AWOS)", "gempak", "WILLMAR/RICE (AWOS)"),
    "KRAD": ("Warroad (AWOS)", "gempak", "inactive.tbl: WARROAD(AWOS)"),
    "KPGL": ("Pascagoula, Jackson", "gempak", "PASCAGOULA/JACKSON"),
    "K3HT": ("Harlowton", "gempak", "HARLOWTON"),
    "K3TH": ("Thompson Falls", "gempak", "THOMPSON FALLS"),
    "KFCA": ("Glacier Park International Airport", "weather-util-airports", "fca -> kgpi"),
    "KWEY": ("West Yellowstone", "gempak", "WEST YELLOWSTONE"),
    "KWYS": ("West Yellowstone", "gempak", "WEST YELLOWSTONE"),
    "KMHN": ("Mullen, Hooker County", "gempak", "MULLEN/HOOKER CO."),
    "K9BB": ("Wells", "gempak", "WELLS"),
    "KAWH": ("Wildhorse Reservoir, Elko", "gempak", "WILDHORSE RES/ELKO"),
    "KB23": ("Battle Mountain", "gempak", "BATTLE MOUNTAIN"),
    "KP38": ("Caliente (AMOS)", "gempak", "CALIENTE (AMOS)"),
    "KU31": ("Austin", "gempak", "AUSTIN"),
    "KHTH": ("Hawthorne Municipal", "gempak", "inactive.tbl: HAWTHORNE_MUNICIPAL"),
    "KPLB": ("Plattsburgh, Clinton", "gempak", "PLATTSBURGH/CLINTON"),
    "KUCA": ("Utica, Oneida County", "gempak", "UTICA/ONEIDA CO."),
    "K4BK": ("Brookings", "gempak", "BROOKINGS"),
    "K5J0": ("John Day State Airport", "gempak", "JOHN DAY STATE ARPT"),
    "KCZK": ("Cascade Locks State", "gempak", "CASCADE LOCKS STATE"),
    "KS47": ("Tillamook", "gempak", "TILLAMOOK"),
    "KJNW": ("Newport", "gempak", "NEWPORT"),
    "KNXX": ("Willow Grove Naval Air Station", "gempak", "WILLOW GROVE NAS"),
    "TJMZ": ("Mayaguez", "gempak", "MAYAGUEZ/EUGENIO"),
    "KEFC": ("Belle Fourche", "gempak", "BELLE FOURCHE"),
    "KSFD": ("Winner", "gempak", "WINNER (changed 7/07 to ICR)"),
    "KRPE": ("Sabine Pass", "gempak", "SABINE PASS"),
    "KF39": ("Sherman-Denison", "gempak", "SHERMAN-DENISON"),
    "K7F6": ("Clarksville, Red River County Airport", "gempak", "CLARKSVILLE/RED RIVER COUNTY APT"),
    "K3R1": ("Bay City Municipal Airport", "gempak", "BAY CITY MUNICIPAL AIRPORT"),
    "KT49": ("Big Spring, McMahon-Wrinkle Airport", "gempak", "BIG SPRING/MCMAHON-WRINKLE APT"),
    "K4BL": ("Blanding", "gempak", "BLANDING"),
    "KT62": ("Tooele", "gempak", "TOOELE"),
    "KU28": ("Green River Range", "gempak", "GREEN RIVER RANGE"),
    "K6V3": ("Richlands, Tazewell County Airport", "gempak", "RICHLANDS/TAZEWELL COUNTY APT"),
    "KTDO": ("Toledo-Winlock Memorial", "gempak", "TOLEDO-WINLOCK MEM"),
    "KCQV": ("Colville Municipal", "gempak", "COLVILLE MUNICIPAL"),
    "KMRJ": ("Mineral Point", "gempak", "MINERAL POINT"),
    "KSKL": ("Skyline (WY DOT)", "gempak", "SKYLINE (WY DOT)"),
    "KARL": ("Arlington (WY DOT)", "gempak", "ARLINGTON (WY DOT)"),
    "KBFU": ("Belle Fourche (WY DOT)", "gempak", "BELLE FOURCHE (WY DOT)"),
    "KBIT": ("Bitter Creek (WY DOT)", "gempak", "BITTER CREEK (WY DOT)"),
    "KBVR": ("Beaver Rim (WY DOT)", "gempak", "BEAVER RIM (WY DOT)"),
    "KCMS": ("Cemetery Separation (WY DOT)", "gempak", "CEMETERY SEPARATION (WY DOT)"),
    "KCTD": ("Continental Divide (WY DOT)", "gempak", "CONTINENTAL DIVIDE (WY DOT)"),
    "KDHS": ("Dead Horse (WY DOT)", "gempak", "DEAD HORSE (WY DOT)"),
    "KDRC": ("Deer Creek (WY DOT)", "gempak", "DEER CREEK (WY DOT)"),
    "KFIR": ("First Divide (WY DOT)", "gempak", "FIRST DIVIDE (WY DOT)"),
    "KHLD": ("Hiland (WY DOT)", "gempak", "HILAND (WY DOT)"),
    "KIDV": ("I-25 Divide (WY DOT)", "gempak", "I-25 DIVIDE (WY DOT)"),
    "KIKA": ("Inyan Kara (WY DOT)", "gempak", "INYAN KARA (WY DOT)"),
    "KMTR": ("Meeteese Rim (WY DOT)", "gempak", "MEETEESE RIM (WY DOT)"),
    "KPAT": ("Pathfinder Hill (WY DOT)", "gempak", "PATHFINDER HILL (WY DOT)"),
    "KPIN": ("Piney Creek (WY DOT)", "gempak", "PINEY CREEK (WY DOT)"),
    "KPUM": ("Pumpkin Vine (WY DOT)", "gempak", "PUMPKIN VINE (WY DOT)"),
    "KSIB": ("Sibley Peak (WY DOT)", "gempak", "SIBLEY PEAK (WY DOT)"),
    "KTMH": ("Twenty Mile Hill (WY DOT)", "gempak", "TWENTY MILE HILL (WY DOT)"),
}

# No table at hand names these stations. Rather than guess, the entry only says which state's
# list holds it ("Oregon observing station").
DESCRIPTIVE = {
    "KHSS", "KCZD", "KOWY", "KFCG", "KGAR", "K92S", "K2SL", "K3CL",
    "KE15", "K8F7", "K4T6", "K5T5", "KT72", "K25R", "KT53", "KF55",
}


def fail(message):
    sys.exit(f"generate_stations: {message}")


# ---- the code list ----------------------------------------------------------------------------

def split_codes(text):
    """Splits "A, B, "C) "" into codes, keeping quoted codes exactly (quotes removed)."""
    tokens = re.findall(r'"[^"]*"|[^,\s]+', text)
    return [t[1:-1] if t.startswith('"') else t for t in tokens]


def is_code(token):
    return CODE_RE.match(token) is not None


def parse_markdown_list(text):
    """Returns [(state, [codes])] from the lines "- State (N): CODE, CODE, ..."."""
    line_re = re.compile(r"^\s*[-*]\s+(?P<state>[^():]+?)\s+\((?P<count>\d+)\):\s*(?P<codes>.*?)\.?\s*$")
    groups = []
    for number, line in enumerate(text.splitlines(), 1):
        match = line_re.match(line)
        if not match:
            continue
        codes = split_codes(match["codes"])
        # Other lists share the bullet form; a station line holds nothing but codes.
        if not codes or not all(is_code(c) for c in codes):
            continue
        if len(codes) != int(match["count"]):
            fail(f"line {number}: {match['state']} announces {match['count']} codes, lists {len(codes)}")
        groups.append((match["state"], codes))
    if not groups:
        fail("no station code lines found")
    return groups


def format_code(code):
    return code if re.fullmatch(r"[A-Z0-9]+", code) else f'"{code}"'


def write_codes_file(groups, path):
    lines = [
        "# Station codes by state, in directory order: State|CODE,CODE,...",
        "# A code holding anything but letters and digits stands in double quotes.",
    ]
    lines += [f"{state}|{','.join(format_code(c) for c in codes)}" for state, codes in groups]
    path.write_text("\n".join(lines) + "\n", encoding="utf-8")


def read_codes_file(path):
    groups = []
    for line in path.read_text(encoding="utf-8").splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        state, _, codes = line.partition("|")
        groups.append((state, re.findall(r'"[^"]*"|[^,]+', codes)))
    return [(state, [c[1:-1] if c.startswith('"') else c for c in codes]) for state, codes in groups]


# ---- the name sources -------------------------------------------------------------------------

def read_weather_util(path):
    names, section = {}, None
    with gzip.open(path, "rt", encoding="utf-8") as stream:
        for line in stream:
            header = re.match(r"^\[(.+)\]", line)
            if header:
                section = header[1].upper()
            elif section and line.startswith("description = "):
                description = line[len("description = "):].strip()
                # Placeholders for stations the table knows only by code are no names.
                if not description.startswith("unknown station"):
                    names[section] = description
    return names


def read_gweather(path):
    names = {}
    for location in ElementTree.parse(path).iter("location"):
        code, name = location.findtext("code"), location.findtext("name")
        if code and name:
            names.setdefault(code, name)
    return names


def tidy_weather_util(description):
    """"Kake, Kake Airport, AK, United States" -> "Kake Airport"."""
    parts = [p.strip() for p in description.split(",")]
    if parts[-1] in ("United States", "United States Minor Outlying Islands"):
        parts.pop()
    if len(parts) > 1 and re.fullmatch(r"[A-Z]{2}", parts[-1]):
        parts.pop()
    unique = [p for i, p in enumerate(parts) if i == 0 or p != parts[i - 1]]
    if len(unique) == 2 and unique[1].startswith(unique[0] + " "):
        unique = [unique[1]]
    name = ", ".join(unique)
    # Undo two capitalisation slips of the table: "Mckellar", "St. Mary'S".
    name = re.sub(r"\bMc([a-z])", lambda m: "Mc" + m[1].upper(), name)
    return re.sub(r"'S\b", "'s", name)


def to_ascii(name):
    folded = unicodedata.normalize("NFKD", name)
    return "".join(c for c in folded if not unicodedata.combining(c))


def name_station(state, code, weather_util, gweather):
    """Returns (entry text, source, source's own wording)."""
    if code in FIXED_ENTRIES:
        return FIXED_ENTRIES[code], "fixed", FIXED_ENTRIES[code]
    if code in weather_util:
        name, source, raw = tidy_weather_util(weather_util[code]), "weather-util", weather_util[code]
    elif code in gweather:
        name, source, raw = gweather[code], "libgweather", gweather[code]
    elif code in OTHER_SOURCES:
        name, source, raw = OTHER_SOURCES[code]
    elif code in DESCRIPTIVE:
        name, source, raw = f"{state} observing station", "descriptive", ""
    else:
        fail(f"no name for {code} ({state}); add it to OTHER_SOURCES or DESCRIPTIVE")
    name = to_ascii(name).strip()
    if not name or "=" in name:
        fail(f"unusable name {name!r} for {code}")
    return f"{name}={code}", source, raw


# ---- output -----------------------------------------------------------------------------------

def cpp_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def array_name(state):
    return "k" + "".join(word.capitalize() for word in re.split(r"[^A-Za-z]+", state) if word)


def wrap_literals(literals, indent="    ", width=100):
    lines, line = [], indent
    for literal in literals:
        piece = literal + ","
        if line.strip() and len(line) + 1 + len(piece) > width:
            lines.append(line)
            line = indent
        line += ("" if not line.strip() else " ") + piece
    if line.strip():
        lines.append(line)
    return lines


def render_cpp(directory):
    out = [
        "// Generated by tools/stations/generate_stations.py from tools/stations/station_codes.txt;",
        "// regenerate rather than edit. Which table named each station: tools/stations/sources.tsv.",
        '#include "settings/StationDirectoryData.h"',
        "",
        "namespace {",
        "",
    ]
    for state, entries in directory:
        out.append(f"const char* const {array_name(state)}[] = {{")
        out += wrap_literals([cpp_string(entry) for entry, _, _ in entries])
        out += ["};", ""]
    out += ["const StationGroup kGroups[] = {"]
    out += [f"    {{{cpp_string(state)}, {array_name(state)}}}," for state, _ in directory]
    out += [
        "};",
        "",
        "}  // namespace",
        "",
        "std::span<const StationGroup> StationGroups()",
        "{",
        "    return kGroups;",
        "}",
        "",
    ]
    return "\n".join(out)


def generate(args):
    groups = read_codes_file(CODES_FILE)
    weather_util = read_weather_util(args.weather_util)
    gweather = read_gweather(args.gweather)
    directory, seen = [], set()
    for state, codes in groups:
        entries = []
        for code in codes:
            if code in seen:
                fail(f"{code} listed twice")
            seen.add(code)
            entries.append(name_station(state, code, weather_util, gweather))
        directory.append((state, entries))
    unused = (set(FIXED_ENTRIES) | set(OTHER_SOURCES) | DESCRIPTIVE) - seen
    if unused:
        fail(f"names kept for codes that are not listed: {sorted(unused)}")

    args.out.write_text(render_cpp(directory), encoding="utf-8")
    rows = ["code\tstate\tsource\tsource wording"]
    rows += [f"{entry.split('=', 1)[1]}\t{state}\t{source}\t{raw}"
             for state, entries in directory for entry, source, raw in entries]
    SOURCES_FILE.write_text("\n".join(rows) + "\n", encoding="utf-8")

    counts = {}
    for _, entries in directory:
        for _, source, _ in entries:
            counts[source] = counts.get(source, 0) + 1
    total = sum(counts.values())
    summary = ", ".join(f"{source} {n}" for source, n in sorted(counts.items()))
    print(f"{len(directory)} groups, {total} entries: {summary}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    codes = commands.add_parser("codes", help="recreate station_codes.txt from a Markdown list")
    codes.add_argument("markdown", type=Path)
    gen = commands.add_parser("generate", help="write the C++ data file and sources.tsv")
    gen.add_argument("--weather-util", type=Path, default=WEATHER_UTIL)
    gen.add_argument("--gweather", type=Path, default=GWEATHER)
    gen.add_argument("--out", type=Path, default=DEFAULT_OUT)
    args = parser.parse_args()
    if args.command == "codes":
        groups = parse_markdown_list(args.markdown.read_text(encoding="utf-8"))
        write_codes_file(groups, CODES_FILE)
        print(f"{len(groups)} groups, {sum(len(c) for _, c in groups)} codes -> {CODES_FILE}")
    else:
        generate(args)


if __name__ == "__main__":
    main()
