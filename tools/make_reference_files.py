#!/usr/bin/env python3
"""Writes the seven reference files of data/ from the tables in tools/reference_data/.

The files are sample data of real content in windows-1251, as the files users already have;
an office replaces them with its own. Run from anywhere: python3 tools/make_reference_files.py

Tables (tab-separated, UTF-8, lines starting with # are comments):
  countries.tsv   ISO 3166 numeric code, short name, group (nonvisa or visa)
  subjects.tsv    two-digit code and name of each subject of the federation; it gives both
                  territories.xml and regions.xml
  districts.tsv   region code and name of each district; a district's identifier is its region
                  code times 100 plus its row within the region for rows 1 to 99, and 100000
                  plus the region code times 1000 plus the row from row 100 on (Moscow has
                  more than 99 districts; the second range lies above every first-form one)
  professions.tsv code of the classifier of worker professions and positions, name, the
                  genitive form where the rule below does not give it, and whether the code
                  was checked; it gives professions.xml and professions_case.xml, so the two
                  always hold the same identifiers
  prefixes.tsv    identifier, prefix, case (1 when the genitive form follows the prefix)
"""

import pathlib
from xml.sax.saxutils import quoteattr

ROOT = pathlib.Path(__file__).resolve().parent.parent
TABLES = ROOT / "tools" / "reference_data"
DATA = ROOT / "data"


def rows(table):
    for line in (TABLES / table).read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            yield line.split("\t")


def write(name, root, groups):
    """groups: list of (group element or None, entry element, list of attribute dicts)."""
    lines = ['<?xml version="1.0" encoding="windows-1251"?>', f"<{root}>"]
    for group, element, entries in groups:
        indent = "  "
        if group:
            lines.append(f"  <{group}>")
            indent = "    "
        for attributes in entries:
            text = " ".join(f"{key}={quoteattr(str(value))}" for key, value in attributes.items())
            lines.append(f"{indent}<{element} {text}/>")
        if group:
            lines.append(f"  </{group}>")
    lines.append(f"</{root}>")
    # Every name must exist in the code page: a failure here names the faulty row.
    (DATA / name).write_bytes(("\n".join(lines) + "\n").encode("cp1251"))


SIBILANTS_AND_VELARS = set("гкхжчшщ")


def genitive_adjective(word):
    stem, end = word[:-2], word[-2:]
    if end in ("ый", "ой"):
        return stem + "ого"
    if end == "ий":
        return stem + ("его" if stem[-1] in "жчшщн" else "ого")
    if end == "ая":
        return stem + "ой"
    if end == "яя":
        return stem + "ей"
    raise ValueError(word)


def genitive_noun(word):
    if word.endswith("ь"):
        return word[:-1] + "я"
    if word.endswith("ец"):
        return word[:-2] + "ца"
    if word.endswith("а"):
        return word[:-1] + ("и" if word[-2] in SIBILANTS_AND_VELARS else "ы")
    if word.endswith("я"):
        return word[:-1] + "и"
    return word + "а"


def is_adjective(word):
    return word[-2:] in ("ый", "ий", "ой", "ая", "яя")


PREPOSITIONS = {"по", "с", "за", "на", "в", "из", "и", "для", "у", "при", "от", "к", "до"}


def is_head_adjective(words, i):
    """A word of adjective form that names the worker itself ("Рабочий", "Горничная"): the
    last word, or one followed by a preposition or by a word that is not in the nominative."""
    if i + 1 == len(words):
        return True
    following = words[i + 1]
    return following in PREPOSITIONS or following.endswith(("ого", "его"))


def genitive(name):
    """The genitive form of a profession's name, written after a prefix: the leading adjectives,
    the head noun (each part of a hyphenated one) and an adjective right after it change, the
    rest stays."""
    words = name.split(" ")
    result = []
    for i, word in enumerate(words):
        if is_adjective(word):
            result.append(genitive_adjective(word))
            if is_head_adjective(words, i):
                result.extend(words[i + 1:])
                break
            continue
        result.append("-".join(genitive_noun(part) for part in word.split("-")))
        rest = words[i + 1:]
        if rest and rest[0].endswith("ый"):  # "Столяр строительный"
            rest[0] = genitive_adjective(rest[0])
        result.extend(rest)
        break
    text = " ".join(result)
    return text[0].lower() + text[1:]


def countries():
    groups = {"nonvisa": [], "visa": []}
    for code, name, group in rows("countries.tsv"):
        groups[group].append({"id": int(code), "name": name})
    write("countries.xml", "countries",
          [("nonvisa", "country", groups["nonvisa"]), ("visa", "country", groups["visa"])])


def subjects():
    entries = [{"id": int(code), "name": name} for code, name in rows("subjects.tsv")]
    write("territories.xml", "territories", [(None, "territory", entries)])
    write("regions.xml", "regions", [(None, "region", entries)])


def district_id(region, row):
    """Rows 1 to 99 keep the identifiers offices already store; longer lists continue in a
    range of their own instead of running into the next region's hundreds."""
    if row < 100:
        return region * 100 + row
    if row > 999:
        raise ValueError(f"region {region}: more than 999 districts")
    return 100000 + region * 1000 + row


def districts():
    regions = {int(code) for code, _name in rows("subjects.tsv")}
    entries, counts, seen = [], {}, set()
    for code, name in rows("districts.tsv"):
        region = int(code)
        if region not in regions:
            raise ValueError(f"district {name!r}: region {code} is not in subjects.tsv")
        counts[region] = counts.get(region, 0) + 1
        identifier = district_id(region, counts[region])
        if identifier in seen:
            raise ValueError(f"district {name!r}: identifier {identifier} is taken")
        seen.add(identifier)
        entries.append({"id": identifier, "name": name, "region_id": region})
    write("district.xml", "districts", [(None, "district", entries)])


def professions():
    names, genitives = [], []
    for code, name, own_genitive, _checked in rows("professions.tsv"):
        names.append({"id": int(code), "name": name})
        genitives.append({"id": int(code), "name": own_genitive or genitive(name)})
    write("professions.xml", "professions", [(None, "profession", names)])
    write("professions_case.xml", "professions", [(None, "profession", genitives)])


def prefixes():
    entries = [{"id": int(i), "name": name, "case": int(case)} for i, name, case in rows("prefixes.tsv")]
    write("professions_prefix.xml", "prefixes", [(None, "prefix", entries)])


if __name__ == "__main__":
    DATA.mkdir(exist_ok=True)
    countries()
    subjects()
    districts()
    professions()
    prefixes()
